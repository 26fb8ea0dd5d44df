#pragma once

#include <QtGlobal>

class CDocument;

// What a document knows of the windows that show it: each is told to rebuild
// itself from the document when something changed.
class IDocumentView {
public:
    IDocumentView() = default;
    IDocumentView(const IDocumentView&) = delete;
    IDocumentView& operator=(const IDocumentView&) = delete;
    virtual ~IDocumentView() = default;

    // sender is the view that made the change (or nullptr), hint and hintObject
    // are whatever the caller of UpdateAllViews passed on.
    virtual void OnUpdate(IDocumentView* sender, qintptr hint, void* hintObject) = 0;
};
