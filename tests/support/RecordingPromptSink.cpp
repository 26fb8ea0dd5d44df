#include "RecordingPromptSink.h"

#include "framework/core/AfxMessageBox.h"

RecordingPromptSink::RecordingPromptSink() : m_guard(this) {}

int RecordingPromptSink::Show(const QString& text, unsigned type) {
    prompts.append({text, type, QString(), {}});
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

int RecordingPromptSink::ShowWith(const QString& text, unsigned type, const Options& options) {
    prompts.append({text, type, options.checkText, options.buttonTexts});
    if (!checks.isEmpty() && options.pChecked != nullptr) {
        *options.pChecked = checks.takeFirst();
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
