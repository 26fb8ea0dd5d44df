#include "RecordingHeaderViewer.h"

RecordingHeaderViewer::RecordingHeaderViewer() : m_guard(this) {}

void RecordingHeaderViewer::Show(const BnmHeaderFigures& figures) {
    shown.append(figures);
}
