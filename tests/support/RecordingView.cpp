#include "RecordingView.h"

#include "framework/core/CDocument.h"

RecordingView::RecordingView(CDocument& doc) : m_doc(doc) {
    m_doc.AddView(this);
}

RecordingView::~RecordingView() {
    m_doc.RemoveView(this);
}

void RecordingView::OnUpdate(IDocumentView* /*sender*/, qintptr /*hint*/, void* /*hintObject*/) {
    ++updates;
    if (onUpdate) {
        onUpdate();
    }
}
