#pragma once

#include "framework/core/CPromptSink.h"

#include <QList>
#include <QString>
#include <QStringList>

// Installs itself as the prompt sink while it lives, records every message
// box and answers with the scripted results in order (IDOK once they run out).
class RecordingPromptSink final : public CPromptSink {
public:
    struct Prompt {
        QString text;
        unsigned type;
        QString check; // the check box's label, if the box had one
        // The buttons' names where the caller gave them.
        QStringList buttons;
    };

    RecordingPromptSink();
    int Show(const QString& text, unsigned type) override;
    // Records the label and the buttons' names, and ticks the box as the
    // next of checks says (leaves it once they run out).
    int ShowWith(const QString& text, unsigned type, const Options& options) override;

    QList<Prompt> prompts;
    QList<int> answers;
    QList<bool> checks;

    QStringList Texts() const;

private:
    CSeam<CPromptSink>::Guard m_guard;
};
