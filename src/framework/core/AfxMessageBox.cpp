#include "AfxMessageBox.h"

#include "CPromptSink.h"

int AfxMessageBox(const QString& text, unsigned type) {
    return CSeam<CPromptSink>::Current().Show(text, type);
}

int AfxMessageBox(const QString& text, unsigned type, const QString& checkText, bool* pChecked) {
    return CSeam<CPromptSink>::Current().ShowWithCheck(text, type, checkText, pChecked);
}
