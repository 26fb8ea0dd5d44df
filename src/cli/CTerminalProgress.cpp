#include "CTerminalProgress.h"

#include <QTextStream>

#include <algorithm>

namespace {

// Carriage return, then erase to the end of the line.
constexpr const char* kClearLine = "\r\x1b[K";

} // namespace

void CTerminalProgress::Begin(const QString& label, qint64 total) {
    m_strLabel = label;
    m_nTotal = total;
    Draw(0);
}

void CTerminalProgress::Step(qint64 done) {
    const int percent =
        m_nTotal > 0 ? static_cast<int>(std::clamp<qint64>(done * 100 / m_nTotal, 0, 100)) : 100;
    // Only a change is drawn: a step per sample of a large bank would
    // write far more than a person can read.
    if (percent != m_nShown) {
        Draw(percent);
    }
}

void CTerminalProgress::End() {
    Interrupt();
}

void CTerminalProgress::Interrupt() {
    if (m_nShown >= 0) {
        m_err << kClearLine;
        m_err.flush();
        m_nShown = -1;
    }
}

void CTerminalProgress::Draw(int percent) {
    m_err << kClearLine << m_strLabel << QStringLiteral(": %1%").arg(percent, 3);
    m_err.flush();
    m_nShown = percent;
}
