#include "CDocTemplate.h"

#include "CDocManager.h"
#include "CMDIChildWnd.h"
#include "CView.h"
#include "StringTable.h"

#include "framework/core/CDocument.h"
#include "framework/core/IDocumentView.h"

namespace {

// Every template alive, so that a document can find the one that owns it
// whether or not the document manager holds that template. Templates may be
// deleted during static destruction (the application object is static and
// its document manager owns some), so the chain has no destructor of its
// own: it is a plain pointer, initialised before any code runs.
constinit CDocTemplate* g_pFirstTemplate = nullptr;

} // namespace

CDocTemplate::CDocTemplate(int nIDResource, DocumentFactory newDocument, FrameFactory newFrame,
                           ViewFactory newView)
    : m_nIDResource(nIDResource), m_newDocument(std::move(newDocument)),
      m_newFrame(std::move(newFrame)), m_newView(std::move(newView)),
      m_pNextTemplate(g_pFirstTemplate) {
    g_pFirstTemplate = this;
}

CDocTemplate::~CDocTemplate() {
    for (CDocTemplate** ppLink = &g_pFirstTemplate; *ppLink != nullptr;
         ppLink = &(*ppLink)->m_pNextTemplate) {
        if (*ppLink == this) {
            *ppLink = m_pNextTemplate;
            break;
        }
    }
    const QList<CDocument*> documents = m_docList;
    m_docList.clear();
    qDeleteAll(documents);
}

CDocTemplate* CDocTemplate::GetDocTemplate(const CDocument* pDoc) {
    for (CDocTemplate* pTemplate = g_pFirstTemplate; pTemplate != nullptr;
         pTemplate = pTemplate->m_pNextTemplate) {
        if (pTemplate->m_docList.contains(const_cast<CDocument*>(pDoc))) {
            return pTemplate;
        }
    }
    return nullptr;
}

void CDocTemplate::CloseDocument(CDocument* pDoc) {
    if (pDoc == nullptr || !m_docList.contains(pDoc) || m_closing.contains(pDoc)) {
        return;
    }
    m_closing.append(pDoc);
    // Each frame takes its view off the document as it goes.
    const QList<IDocumentView*> views = pDoc->GetViews();
    for (IDocumentView* pView : views) {
        auto* pCView = dynamic_cast<CView*>(pView);
        CMDIChildWnd* pFrame = pCView != nullptr ? pCView->GetParentFrame() : nullptr;
        if (pFrame != nullptr) {
            pFrame->DestroyWindow();
        } else if (pCView != nullptr) {
            pCView->DetachDocument();
        } else {
            pDoc->RemoveView(pView);
        }
    }
    pDoc->OnCloseDocument();
    m_closing.removeAll(pDoc);
    RemoveDocument(pDoc);
    delete pDoc;
    // A bank that shared its name with this one needs its folder no more.
    if (CDocManager* pManager = CDocManager::Current()) {
        pManager->UpdateTitles();
    }
}

void CDocTemplate::OnViewDetached(CDocument* pDoc) {
    if (pDoc != nullptr && pDoc->GetViews().isEmpty() && !m_closing.contains(pDoc)) {
        CloseDocument(pDoc);
    }
}

bool CDocTemplate::GetDocString(QString& rString, DocStringIndex index) const {
    const QStringList fields = StringTable::Load(m_nIDResource).split(u'\n');
    rString = index < fields.size() ? fields.at(index) : QString();
    return !rString.isEmpty();
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
    if (pDoc != nullptr && !m_docList.contains(pDoc)) {
        m_docList.append(pDoc);
    }
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    m_docList.removeAll(pDoc);
}

CDocument* CDocTemplate::CreateNewDocument() {
    CDocument* pDoc = m_newDocument ? m_newDocument() : nullptr;
    AddDocument(pDoc);
    return pDoc;
}

CMDIChildWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CMDIChildWnd* /*pOther*/) {
    CMDIChildWnd* pFrame = m_newFrame ? m_newFrame() : nullptr;
    if (pFrame == nullptr) {
        return nullptr;
    }
    CCreateContext context{pDoc, this, m_newView};
    if (!pFrame->LoadFrame(m_nIDResource, &context)) {
        delete pFrame;
        return nullptr;
    }
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CMDIChildWnd* pFrame, CDocument* pDoc, bool bMakeVisible) {
    if (pFrame != nullptr) {
        pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
    }
}
