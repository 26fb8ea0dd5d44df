#include "AfxMessageBox.h"

#include "CPromptSink.h"

int AfxMessageBox(const QString& text, unsigned type) {
    return CPromptSink::Current().Show(text, type);
}
