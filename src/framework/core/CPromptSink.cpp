#include "CPromptSink.h"

#include "AfxMessageBox.h"

#include <QRegularExpression>
#include <QStringList>

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
        return UnattendedAnswer(type);
    }
};

} // namespace

template <> CPromptSink& CSeam<CPromptSink>::Default() {
    static StderrPromptSink sink;
    return sink;
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
    // One line: each line of the box stays a sentence of its own, so a
    // cause without a full stop does not run into the next sentence.
    QString body;
    const QStringList lines =
        text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (!body.isEmpty()) {
            const QChar last = body.back();
            if (last != QLatin1Char('.') && last != QLatin1Char('!') && last != QLatin1Char('?') &&
                last != QLatin1Char(':')) {
                body += QLatin1Char('.');
            }
            body += QLatin1Char(' ');
        }
        body += line;
    }
    return prefix + body;
}

int CPromptSink::UnattendedAnswer(unsigned type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_YESTOALLNOCANCEL:
    case MB_SAVEANYWAYRELOADCANCEL:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    default:
        return IDOK;
    }
}

int CPromptSink::ShowWith(const QString& text, unsigned type, const Options& /*options*/) {
    return Show(text, type);
}
