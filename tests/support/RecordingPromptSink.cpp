#include "RecordingPromptSink.h"

#include "framework/core/AfxMessageBox.h"

RecordingPromptSink::RecordingPromptSink() : m_guard(this) {}

int RecordingPromptSink::Show(const QString& text, unsigned type) {
    prompts.append({text, type, {}});
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

int RecordingPromptSink::ShowNamed(const QString& text, unsigned type,
                                   const QStringList& buttonTexts) {
    prompts.append({text, type, buttonTexts});
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

QStringList RecordingPromptSink::Texts() const {
    QStringList texts;
    for (const Prompt& prompt : prompts) {
        texts << prompt.text;
    }
    return texts;
}
