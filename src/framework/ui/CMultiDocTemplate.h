#pragma once

#include "CDocTemplate.h"

// A template whose documents each live in any number of MDI child windows.
class CMultiDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;

    // Makes the document and a hidden window with its view, opens path into
    // the document, then names the document after the file, puts the file on
    // the recent-file list and shows the window. A document that fails to
    // open goes away with its window, silently: the document has already
    // said why.
    CDocument* OpenDocumentFile(const QString& path, bool bMakeVisible = true) override;

private:
    int m_nUntitledCount = 0;
};
