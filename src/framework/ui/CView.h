#pragma once

#include "CCmdTarget.h"

#include "framework/core/IDocumentView.h"

#include <QWidget>

class CDocument;
class CMDIChildWnd;

// A window that shows one document. It fills its child frame, is told of
// every change of the document (OnUpdate) and passes the commands it does
// not handle to its document. A derived view overrides OnUpdate to rebuild
// itself and usually names its frame:
//
//   void CMyView::OnUpdate(IDocumentView*, qintptr, void*) {
//       ...
//       GetParentFrame()->SetWindowText(GetDocument()->GetTitle() + " - My View");
//   }
//
// Views are made by a document template, never directly.
class CView : public QWidget, public CCmdTarget, public IDocumentView {
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // The child frame around the view, or nullptr before it has one.
    CMDIChildWnd* GetParentFrame() const;

    // The frame's initial update: calls OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // Repaints; derived views rebuild from the document.
    void OnUpdate(IDocumentView* pSender, qintptr lHint, void* pHint) override;

    // The active view first, then its document (see CDocCommandMap).
    bool OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) override;

    // The framework's: joins the view to pDoc, or takes it off (the document
    // closes with its last view).
    void AttachDocument(CDocument* pDoc);
    void DetachDocument();

private:
    CDocument* m_pDocument = nullptr;
};
