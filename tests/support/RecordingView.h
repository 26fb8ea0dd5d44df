#pragma once

#include "framework/core/IDocumentView.h"

#include <functional>

class CDocument;

// A view that counts its updates and can run a test's code on each one;
// attaches itself to a document for its lifetime.
class RecordingView final : public IDocumentView {
public:
    explicit RecordingView(CDocument& doc);
    ~RecordingView() override;

    void OnUpdate(IDocumentView* sender, qintptr hint, void* hintObject) override;

    int updates = 0;
    std::function<void()> onUpdate;

private:
    CDocument& m_doc;
};
