#include "AfxMessageBox.h"

#include "CPromptSink.h"

int AfxMessageBox(const QString& text, unsigned type) {
    return CSeam<CPromptSink>::Current().Show(text, type);
}

int AfxMessageBox(const QString& text, unsigned type, const CPromptSink::Options& options) {
    return CSeam<CPromptSink>::Current().ShowWith(text, type, options);
}
