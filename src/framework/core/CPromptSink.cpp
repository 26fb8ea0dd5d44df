#include "CPromptSink.h"

#include "AfxMessageBox.h"

#include <cstdio>

namespace {

// Without a display nobody can answer, so every question gets the answer that
// loses nothing: OK for a notice, Cancel where cancelling is offered, No where
// only Yes and No are.
class StderrPromptSink final : public CPromptSink {
public:
    int Show(const QString& text, unsigned type) override {
        const QByteArray line = FormatLine(text, type).toLocal8Bit();
        std::fprintf(stderr, "%s\n", line.constData());
        std::fflush(stderr);
        switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        default:
            return IDOK;
        }
    }
};

StderrPromptSink& stderrSink() {
    static StderrPromptSink sink;
    return sink;
}

CPromptSink* g_current = nullptr;

} // namespace

CPromptSink& CPromptSink::Current() {
    return g_current != nullptr ? *g_current : stderrSink();
}

CPromptSink* CPromptSink::Install(CPromptSink* sink) {
    CPromptSink* previous = g_current;
    g_current = sink;
    return previous;
}

QString CPromptSink::FormatLine(const QString& text, unsigned type) {
    QString prefix;
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        prefix = QStringLiteral("error: ");
        break;
    case MB_ICONEXCLAMATION:
        prefix = QStringLiteral("warning: ");
        break;
    default:
        prefix = QStringLiteral("info: ");
        break;
    }
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    body.replace(QLatin1Char('\n'), QLatin1Char(' '));
    body.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return prefix + body;
}
