#pragma once

#include <QString>

// Where message boxes go. The editor installs one that shows a QMessageBox, the
// command-line tool keeps the default that writes one line to standard error,
// and tests install a recorder. Exactly one sink is current at any time.
class CPromptSink {
public:
    CPromptSink() = default;
    CPromptSink(const CPromptSink&) = delete;
    CPromptSink& operator=(const CPromptSink&) = delete;
    virtual ~CPromptSink() = default;

    // Shows text with the style of AfxMessageBox and returns the chosen button.
    virtual int Show(const QString& text, unsigned type) = 0;

    // The current sink; the standard-error sink when none was installed.
    static CPromptSink& Current();
    // Makes sink current (not owned) and returns the one it replaces; nullptr
    // restores the standard-error sink.
    static CPromptSink* Install(CPromptSink* sink);

    // The one-line form used on standard error: "error: ", "warning: " or
    // "info: " by icon, then the text with every line break made a blank.
    static QString FormatLine(const QString& text, unsigned type);
};
