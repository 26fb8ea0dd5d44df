#include "AfxMessageBox.h"

#include "CPromptSink.h"

int AfxMessageBox(const QString& text, unsigned type) {
    return CSeam<CPromptSink>::Current().Show(text, type);
}

int AfxMessageBox(const QString& text, unsigned type, const QStringList& buttonTexts) {
    return CSeam<CPromptSink>::Current().ShowNamed(text, type, buttonTexts);
}
