#pragma once

#include "CSeam.h"

#include <QString>
#include <QStringList>

// Where message boxes go. The editor installs one that shows a QMessageBox, the
// command-line tool keeps the default that writes one line to standard error,
// and tests install a recorder, each through CSeam<CPromptSink>.
class CPromptSink {
public:
    CPromptSink() = default;
    CPromptSink(const CPromptSink&) = delete;
    CPromptSink& operator=(const CPromptSink&) = delete;
    virtual ~CPromptSink() = default;

    // Shows text with the style of AfxMessageBox and returns the chosen button.
    virtual int Show(const QString& text, unsigned type) = 0;
    // Show with the buttons named as given, in the order of type's buttons;
    // a sink that cannot name them asks as Show does.
    virtual int ShowNamed(const QString& text, unsigned type, const QStringList& buttonTexts);

    // The one-line form used on standard error: "error: ", "warning: " or
    // "info: " by icon, then the text with every line break made a blank.
    static QString FormatLine(const QString& text, unsigned type);
    // The answer where nobody can be asked: Cancel where there is one, No
    // where that is the way out, otherwise OK.
    static int UnattendedAnswer(unsigned type);
};

// The standard-error sink.
template <> CPromptSink& CSeam<CPromptSink>::Default();
