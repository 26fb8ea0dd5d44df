#include "CCliPromptSink.h"

#include "CTerminalProgress.h"

#include "framework/core/AfxMessageBox.h"

#include <QTextStream>

int CCliPromptSink::Show(const QString& text, unsigned type) {
    if ((type & MB_ICONMASK) == MB_ICONHAND) {
        ++m_nErrors;
    }
    if (!m_bQuiet || (type & MB_ICONMASK) == MB_ICONHAND) {
        if (m_pProgress != nullptr) {
            m_pProgress->Interrupt();
        }
        m_err << Line(text, type) << '\n';
        m_err.flush();
    }
    return UnattendedAnswer(type);
}

QString CCliPromptSink::Line(const QString& text, unsigned type) const {
    // Every path in a message is absolute, so a message without a slash
    // names no file ("File is truncated").
    const bool namesAFile = text.contains(QLatin1Char('/')) || text.contains(m_strFile);
    return FormatLine(
        namesAFile || m_strFile.isEmpty() ? text : m_strFile + QStringLiteral(": ") + text, type);
}
