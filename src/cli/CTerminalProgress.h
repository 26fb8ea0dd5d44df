#pragma once

#include "framework/core/IProgressSink.h"

#include <QString>

class QTextStream;

// Progress of long work as one line on a terminal that rewrites itself
// ("Writing samples:  42%"), and is cleared when the work ends, so what the
// tool says afterwards starts on a clean line. Only for a terminal: a log
// file or a pipe would fill with carriage returns.
class CTerminalProgress final : public IProgressSink {
public:
    explicit CTerminalProgress(QTextStream& err) : m_err(err) {}

    void Begin(const QString& label, qint64 total) override;
    void Step(qint64 done) override;
    void End() override;

    // Clears the line for a message; the next step draws it again.
    void Interrupt();

private:
    void Draw(int percent);

    QTextStream& m_err;
    QString m_strLabel;
    qint64 m_nTotal = 0;
    int m_nShown = -1; // the percentage on the line, -1 when nothing is
};
