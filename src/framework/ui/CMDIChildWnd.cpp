#include "CMDIChildWnd.h"

#include "CDocManager.h"
#include "CDocTemplate.h"
#include "CMDIFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "IconResource.h"

#include "framework/core/CDocument.h"
#include "framework/core/IDocumentView.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMouseEvent>

namespace {

bool HasOtherFrames(const CDocument& doc, const CMDIChildWnd* pFrame) {
    for (IDocumentView* pView : doc.GetViews()) {
        auto* pCView = dynamic_cast<CView*>(pView);
        if (pCView != nullptr && pCView->GetParentFrame() != pFrame) {
            return true;
        }
    }
    return false;
}

QIcon LoadIcon(int nIDResource) {
    const IconResource* pIcon = IconResource::Find(nIDResource);
    return pIcon != nullptr ? pIcon->Load() : QIcon();
}

} // namespace

CMDIChildWnd::CMDIChildWnd() {
    // Closing goes through OnClose, which decides whether and when the frame
    // goes away.
    setAttribute(Qt::WA_DeleteOnClose, false);
}

CMDIChildWnd::~CMDIChildWnd() {
    if (m_pView != nullptr) {
        m_pView->DetachDocument();
    }
}

bool CMDIChildWnd::PreCreateWindow(CREATESTRUCT& /*cs*/) {
    return true;
}

bool CMDIChildWnd::LoadFrame(int nIDResource, CCreateContext* pContext) {
    m_pMDIFrame = AfxGetMainWnd();
    if (m_pMDIFrame == nullptr || m_pMDIFrame->GetMDIClient() == nullptr) {
        return false;
    }
    CREATESTRUCT cs{WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE};
    if (!PreCreateWindow(cs)) {
        return false;
    }
    m_dwStyle = cs.style;
    m_nIDResource = nIDResource;
    setWindowIcon(LoadIcon(nIDResource));

    if (pContext != nullptr) {
        m_pTemplate = pContext->m_pNewDocTemplate;
        if (pContext->m_pNewViewClass) {
            m_pView = pContext->m_pNewViewClass();
            if (m_pView == nullptr) {
                return false;
            }
            setWidget(m_pView);
            m_pView->AttachDocument(pContext->m_pCurrentDoc);
        }
    }

    QMdiArea* pArea = m_pMDIFrame->GetMDIClient();
    pArea->addSubWindow(this);
    hide();
    // Placed now, before the area would place it where it overlaps least,
    // which is often mostly outside.
    const QRect place = m_pMDIFrame->NextChildRect();
    if (place.isValid()) {
        setGeometry(place);
    }
    return true;
}

void CMDIChildWnd::InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible) {
    if (m_pView != nullptr) {
        m_pView->OnInitialUpdate();
    }
    if (bMakeVisible && m_pMDIFrame != nullptr) {
        // A new window opens maximized while the active one is.
        CMDIChildWnd* pActive = m_pMDIFrame->MDIGetActive();
        if (pActive != nullptr && pActive != this && pActive->isMaximized()) {
            showMaximized();
        } else {
            show();
        }
        MDIActivate();
    }
    Q_UNUSED(pDoc);
    OnUpdateFrameTitle(true);
}

void CMDIChildWnd::OnUpdateFrameTitle(bool bAddToTitle) {
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && (m_dwStyle & FWS_ADDTOTITLE) != 0 && pDoc != nullptr) {
        SetWindowText(pDoc->GetTitle());
    }
}

CDocument* CMDIChildWnd::GetActiveDocument() const {
    return m_pView != nullptr ? m_pView->GetDocument() : nullptr;
}

void CMDIChildWnd::SetWindowText(const QString& text) {
    m_strCaption = text;
    // Qt reads "[*]" in a title as the modified mark; doubled it is shown
    // as written.
    setWindowTitle(QString(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void CMDIChildWnd::MDIActivate() {
    if (m_pMDIFrame != nullptr && m_pMDIFrame->GetMDIClient() != nullptr) {
        m_pMDIFrame->GetMDIClient()->setActiveSubWindow(this);
        if (m_pView != nullptr) {
            m_pView->setFocus();
        }
    }
}

void CMDIChildWnd::DestroyWindow() {
    if (m_bDestroyed) {
        return;
    }
    m_bDestroyed = true;
    if (m_pView != nullptr) {
        m_pView->DetachDocument();
    }
    if (m_pMDIFrame != nullptr && m_pMDIFrame->GetMDIClient() != nullptr) {
        // Taking the window out of the area activates the next one; it stays
        // a hidden child of the main frame until it is deleted.
        m_pMDIFrame->GetMDIClient()->removeSubWindow(this);
        setParent(m_pMDIFrame);
        m_pMDIFrame->OnUpdateFrameMenu();
    }
    hide();
    deleteLater();
}

bool CMDIChildWnd::OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) {
    if (m_pView != nullptr && m_pView->OnCmdMsg(nID, nCode, pCmdUI)) {
        return true;
    }
    return CCmdTarget::OnCmdMsg(nID, nCode, pCmdUI);
}

void CMDIChildWnd::OnClose() {
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != nullptr && !HasOtherFrames(*pDoc, this)) {
        CDocManager* pManager = CDocManager::Current();
        if (pManager != nullptr && !pManager->SaveModified(*pDoc)) {
            return;
        }
        if (CDocTemplate* pTemplate = CDocTemplate::GetDocTemplate(pDoc)) {
            pTemplate->CloseDocument(pDoc);
            return;
        }
    }
    DestroyWindow();
}

void CMDIChildWnd::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!m_bDestroyed) {
        OnClose();
    }
}

void CMDIChildWnd::mousePressEvent(QMouseEvent* event) {
    // The title bar acts on the button it last saw the pointer move over.
    // The box of the save question takes the pointer away, and when it goes
    // the pointer is back over the close button without having moved, so the
    // next click would hit nothing. A press counts where it is.
    QMouseEvent hover(QEvent::MouseMove, event->position(), event->scenePosition(),
                      event->globalPosition(), Qt::NoButton, Qt::NoButton, event->modifiers());
    QMdiSubWindow::mouseMoveEvent(&hover);
    QMdiSubWindow::mousePressEvent(event);
}
