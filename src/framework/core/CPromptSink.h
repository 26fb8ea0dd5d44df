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
    // What a box may have beyond its text and style. The buttons named by
    // what they do, in the order of type's buttons ("Convert to 22,050 Hz",
    // "Keep 96,000 Hz", "Cancel" for Yes, No and Cancel; the answers stay
    // IDYES, IDNO, IDCANCEL); and a check box labelled checkText that
    // *pChecked sets first and gets once the box is closed.
    struct Options {
        QStringList buttonTexts;
        QString checkText;
        bool* pChecked = nullptr;
    };
    // Shows text as Show does, with the options. A sink that can neither
    // name buttons nor tick a box asks as Show does and leaves *pChecked as
    // it was.
    virtual int ShowWith(const QString& text, unsigned type, const Options& options);

    // The one-line form used on standard error: "error: ", "warning: " or
    // "info: " by icon, then the text with every line break made a blank.
    static QString FormatLine(const QString& text, unsigned type);
    // The answer where nobody can be asked: Cancel where there is one, No
    // where that is the way out, otherwise OK.
    static int UnattendedAnswer(unsigned type);
};

// The standard-error sink.
template <> CPromptSink& CSeam<CPromptSink>::Default();
