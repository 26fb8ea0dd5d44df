#include "CMultiDocTemplate.h"

#include "AfxRes.h"
#include "CDocManager.h"
#include "CMDIChildWnd.h"
#include "CWinApp.h"
#include "StringTable.h"

#include "framework/core/CDocument.h"

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& path, bool bMakeVisible) {
    CDocument* pDoc = CreateNewDocument();
    if (pDoc == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    CMDIChildWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    if (pFrame == nullptr) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_OK | MB_ICONEXCLAMATION);
        RemoveDocument(pDoc);
        delete pDoc;
        return nullptr;
    }

    if (path.isEmpty()) {
        QString name;
        if (!GetDocString(name, docName)) {
            name = StringTable::Load(AFX_IDS_UNTITLED);
        }
        pDoc->SetTitle(name + QString::number(++m_nUntitledCount));
        if (!pDoc->OnNewDocument()) {
            // Closing the window's last view closes the document as well.
            pFrame->DestroyWindow();
            return nullptr;
        }
    } else {
        if (!pDoc->OnOpenDocument(path)) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDoc->SetPathName(path);
        if (CWinApp* pApp = AfxGetApp()) {
            pApp->AddToRecentFileList(path);
        }
        if (CDocManager* pManager = CDocManager::Current()) {
            pManager->UpdateTitles();
        }
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}
