#pragma once

#include "framework/core/CPromptSink.h"

#include <QList>
#include <QString>

// Installs itself as the prompt sink while it lives, records every message
// box and answers with the scripted results in order (IDOK once they run out).
class RecordingPromptSink final : public CPromptSink {
public:
    struct Prompt {
        QString text;
        unsigned type;
    };

    RecordingPromptSink();
    int Show(const QString& text, unsigned type) override;

    QList<Prompt> prompts;
    QList<int> answers;

    QStringList Texts() const;

private:
    CSeam<CPromptSink>::Guard m_guard;
};
