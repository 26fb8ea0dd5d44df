#include "RecordingPromptSink.h"

#include "framework/core/AfxMessageBox.h"

RecordingPromptSink::RecordingPromptSink() : m_guard(this) {}

int RecordingPromptSink::Show(const QString& text, unsigned type) {
    prompts.append({text, type, QString()});
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

int RecordingPromptSink::ShowWithCheck(const QString& text, unsigned type, const QString& checkText,
                                       bool* pChecked) {
    prompts.append({text, type, checkText});
    if (!checks.isEmpty() && pChecked != nullptr) {
        *pChecked = checks.takeFirst();
    }
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

QStringList RecordingPromptSink::Texts() const {
    QStringList texts;
    for (const Prompt& prompt : prompts) {
        texts << prompt.text;
    }
    return texts;
}
