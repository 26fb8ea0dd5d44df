#include "RecordingProgressSink.h"

RecordingProgressSink::RecordingProgressSink() : m_guard(this) {}

void RecordingProgressSink::Begin(const QString& label, qint64 total) {
    labels.append(label);
    totals.append(total);
}

void RecordingProgressSink::Step(qint64 done) {
    steps.append(done);
    if (onStep) {
        onStep(done);
    }
}

void RecordingProgressSink::End() {
    ++ends;
}
