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
        // The buttons' names where the caller gave them.
        QStringList buttons;
    };

    RecordingPromptSink();
    int Show(const QString& text, unsigned type) override;
    int ShowNamed(const QString& text, unsigned type, const QStringList& buttonTexts) override;

    QList<Prompt> prompts;
    QList<int> answers;

    QStringList Texts() const;

private:
    CSeam<CPromptSink>::Guard m_guard;
};
