#include "CView.h"

#include "CDocCommandMap.h"
#include "CDocTemplate.h"
#include "CMDIChildWnd.h"

#include "framework/core/CDocument.h"

CView::CView() {
    setFocusPolicy(Qt::StrongFocus);
}

CView::~CView() {
    DetachDocument();
}

CMDIChildWnd* CView::GetParentFrame() const {
    for (QWidget* pParent = parentWidget(); pParent != nullptr; pParent = pParent->parentWidget()) {
        if (auto* pFrame = dynamic_cast<CMDIChildWnd*>(pParent)) {
            return pFrame;
        }
    }
    return nullptr;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) {
    update();
}

bool CView::OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) {
    if (CCmdTarget::OnCmdMsg(nID, nCode, pCmdUI)) {
        return true;
    }
    return m_pDocument != nullptr && CDocCommandMap::OnCmdMsg(*m_pDocument, nID, nCode, pCmdUI);
}

void CView::AttachDocument(CDocument* pDoc) {
    if (pDoc == m_pDocument) {
        return;
    }
    DetachDocument();
    m_pDocument = pDoc;
    if (m_pDocument != nullptr) {
        m_pDocument->AddView(this);
    }
}

void CView::DetachDocument() {
    CDocument* pDoc = m_pDocument;
    if (pDoc == nullptr) {
        return;
    }
    m_pDocument = nullptr;
    pDoc->RemoveView(this);
    if (CDocTemplate* pTemplate = CDocTemplate::GetDocTemplate(pDoc)) {
        pTemplate->OnViewDetached(pDoc);
    }
}
