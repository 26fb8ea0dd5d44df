#pragma once

#include "framework/core/IProgressSink.h"

#include <QList>
#include <QString>

#include <functional>

// Installs itself as the documents' progress sink while it lives and records
// every call. onStep, when set, runs at each step: a test's way to act while
// long work is under way.
class RecordingProgressSink final : public IProgressSink {
public:
    RecordingProgressSink();

    void Begin(const QString& label, qint64 total) override;
    void Step(qint64 done) override;
    void End() override;

    QList<QString> labels;
    QList<qint64> totals;
    QList<qint64> steps;
    int ends = 0;
    std::function<void(qint64 done)> onStep;

private:
    CSeam<IProgressSink>::Guard m_guard;
};
