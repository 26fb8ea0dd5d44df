#pragma once

#include "framework/core/CPromptSink.h"

#include <QString>

class CTerminalProgress;
class QTextStream;

// Message boxes as the lines kantel-cli writes to standard error. A message
// that names no file is about the file the command works on, and says so;
// --quiet keeps only errors. Questions get the answer that loses nothing,
// as nobody is there to answer them.
class CCliPromptSink final : public CPromptSink {
public:
    // file names what the command works on in messages that name nothing.
    CCliPromptSink(QTextStream& err, QString file, bool quiet)
        : m_err(err), m_strFile(std::move(file)), m_bQuiet(quiet) {}

    // A progress line on the terminal is cleared before each message.
    void SetProgress(CTerminalProgress* progress) { m_pProgress = progress; }

    int Show(const QString& text, unsigned type) override;

    // The line for text: the file put first when text names none.
    QString Line(const QString& text, unsigned type) const;

    // How many errors were shown (or kept back by --quiet: none are).
    int ErrorCount() const { return m_nErrors; }

private:
    int m_nErrors = 0;
    QTextStream& m_err;
    QString m_strFile;
    bool m_bQuiet;
    CTerminalProgress* m_pProgress = nullptr;
};
