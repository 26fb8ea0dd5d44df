#include "CDocManager.h"

#include "AfxRes.h"
#include "CDocTemplate.h"
#include "CFileDialog.h"
#include "CMDIChildWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "StringTable.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CDocument.h"
#include "framework/core/IDocumentView.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <utility>

namespace {

// The windows that show doc, in the order their views were attached.
QList<CMDIChildWnd*> FramesOf(const CDocument& doc) {
    QList<CMDIChildWnd*> frames;
    for (IDocumentView* pView : doc.GetViews()) {
        auto* pCView = dynamic_cast<CView*>(pView);
        CMDIChildWnd* pFrame = pCView != nullptr ? pCView->GetParentFrame() : nullptr;
        if (pFrame != nullptr && !frames.contains(pFrame)) {
            frames.append(pFrame);
        }
    }
    return frames;
}

void AppendFilter(QString& filter, CDocTemplate& docTemplate, QString* pDefaultExt) {
    QString name;
    QString ext;
    if (!docTemplate.GetDocString(name, CDocTemplate::filterName) ||
        !docTemplate.GetDocString(ext, CDocTemplate::filterExt)) {
        return;
    }
    if (pDefaultExt != nullptr && pDefaultExt->isEmpty()) {
        *pDefaultExt = ext.mid(1);
    }
    filter += name + u'|' + u'*' + ext + u'|';
}

} // namespace

namespace {

// The last nParts folders of folder, joined by '/'; the whole folder when it
// has no more.
QString FolderTail(const QString& folder, int nParts) {
    const QStringList parts = folder.split(u'/', Qt::SkipEmptyParts);
    if (nParts >= parts.size()) {
        return folder;
    }
    return parts.mid(parts.size() - nParts).join(u'/');
}

// The fewest trailing folders that tell each document's folder from the
// others', in the documents' order.
QStringList FolderLabels(const QList<CDocument*>& same) {
    QStringList folders;
    for (CDocument* pDoc : same) {
        folders.append(QFileInfo(pDoc->GetPathName()).path());
    }
    for (int nParts = 1;; ++nParts) {
        QStringList labels;
        bool bWhole = true;
        for (const QString& folder : std::as_const(folders)) {
            labels.append(FolderTail(folder, nParts));
            bWhole = bWhole && labels.constLast() == folder;
        }
        QStringList distinct = labels;
        if (distinct.removeDuplicates() == 0 || bWhole) {
            return labels;
        }
    }
}

} // namespace

CDocManager::CDocManager() = default;

CDocManager::~CDocManager() {
    qDeleteAll(m_templateList);
}

CDocManager* CDocManager::Current() {
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->m_pDocManager : nullptr;
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) {
    if (pTemplate != nullptr && !m_templateList.contains(pTemplate)) {
        m_templateList.append(pTemplate);
    }
}

int CDocManager::GetOpenDocumentCount() const {
    int count = 0;
    for (const CDocTemplate* pTemplate : m_templateList) {
        count += static_cast<int>(pTemplate->GetDocuments().size());
    }
    return count;
}

bool CDocManager::DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags,
                                   bool bOpenFileDialog, CDocTemplate* pTemplate) {
    CFileDialog dialog(bOpenFileDialog);
    dialog.m_ofn.Flags |= lFlags;
    dialog.m_ofn.strTitle = StringTable::Load(nIDSTitle);
    dialog.m_ofn.strFile = fileName;

    QString filter;
    QString defaultExt;
    if (pTemplate != nullptr) {
        AppendFilter(filter, *pTemplate, &defaultExt);
    } else {
        for (CDocTemplate* pEach : m_templateList) {
            AppendFilter(filter, *pEach, nullptr);
        }
    }
    filter += CFileDialog::AllFilesFilterName() + QStringLiteral("|*.*||");
    dialog.m_ofn.strFilter = filter;
    dialog.m_ofn.nFilterIndex = 1;
    dialog.m_ofn.strDefExt = defaultExt;

    if (dialog.DoModal() != IDOK) {
        return false;
    }
    fileName = dialog.GetPathName();
    return true;
}

void CDocManager::OnFileOpen() {
    QString fileName;
    if (!DoPromptFileName(fileName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, true,
                          nullptr)) {
        return;
    }
    if (CWinApp* pApp = AfxGetApp()) {
        pApp->OpenDocumentFile(fileName);
    } else {
        OpenDocumentFile(fileName);
    }
}

void CDocManager::OnFileNew() {
    if (m_templateList.isEmpty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_templateList.first()->OpenDocumentFile(QString());
}

CDocument* CDocManager::OpenDocumentFile(const QString& path) {
    if (m_templateList.isEmpty()) {
        return nullptr;
    }
    // A file that is open already gets its first window activated instead of
    // a second document that would overwrite the first one's changes.
    const QString full = QFileInfo(path).absoluteFilePath();
    for (CDocTemplate* pTemplate : m_templateList) {
        for (CDocument* pDoc : pTemplate->GetDocuments()) {
            if (!pDoc->GetPathName().isEmpty() && pDoc->GetPathName() == full) {
                const QList<CMDIChildWnd*> frames = FramesOf(*pDoc);
                if (!frames.isEmpty()) {
                    frames.first()->MDIActivate();
                }
                return pDoc;
            }
        }
    }
    return m_templateList.first()->OpenDocumentFile(path);
}

bool CDocManager::SaveAllModified() {
    for (CDocTemplate* pTemplate : m_templateList) {
        const QList<CDocument*> documents = pTemplate->GetDocuments();
        for (CDocument* pDoc : documents) {
            if (!SaveModified(*pDoc)) {
                return false;
            }
        }
    }
    return true;
}

void CDocManager::CloseAllDocuments(bool /*bEndSession*/) {
    for (CDocTemplate* pTemplate : m_templateList) {
        const QList<CDocument*> documents = pTemplate->GetDocuments();
        for (CDocument* pDoc : documents) {
            pTemplate->CloseDocument(pDoc);
        }
    }
}

bool CDocManager::SaveModified(CDocument& doc) {
    if (!doc.IsModified()) {
        return true;
    }
    QString name =
        doc.GetPathName().isEmpty() ? doc.GetTitle() : QFileInfo(doc.GetPathName()).fileName();
    if (name.isEmpty()) {
        name = StringTable::Load(AFX_IDS_UNTITLED);
    }
    const QString prompt = StringTable::Load(AFX_IDP_ASK_TO_SAVE).arg(name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave(doc);
    default:
        return true;
    }
}

bool CDocManager::DoFileSave(CDocument& doc) {
    const QFileInfo file(doc.GetPathName());
    if (doc.GetPathName().isEmpty() || !file.exists() || !file.isWritable()) {
        return DoSave(doc, QString());
    }
    return DoSave(doc, doc.GetPathName());
}

bool CDocManager::DoSave(CDocument& doc, const QString& path, bool bReplace) {
    QString newName = path;
    if (newName.isEmpty()) {
        CDocTemplate* pTemplate = CDocTemplate::GetDocTemplate(&doc);
        newName = doc.GetPathName();
        if (bReplace && newName.isEmpty()) {
            // Offer the title, cut at the first character that is dubious in
            // a file name, with the template's extension.
            newName = doc.GetTitle();
            static const QString dubious = QStringLiteral(" #%;/\\");
            for (qsizetype i = 0; i < newName.size(); ++i) {
                if (dubious.contains(newName.at(i))) {
                    newName.truncate(i);
                    break;
                }
            }
            QString ext;
            if (pTemplate != nullptr && pTemplate->GetDocString(ext, CDocTemplate::filterExt)) {
                newName += ext;
            }
        }
        const bool chosen = DoPromptFileName(
            newName, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, false, pTemplate);
        if (!chosen) {
            return false;
        }
    }

    // A failed save leaves the file on disk as it was (the document writes
    // through a temporary file), so there is nothing to clean up here.
    if (!doc.OnSaveDocument(newName)) {
        return false;
    }
    if (bReplace) {
        const QString oldTitle = doc.GetTitle();
        doc.SetPathName(newName);
        if (CWinApp* pApp = AfxGetApp()) {
            pApp->AddToRecentFileList(newName);
        }
        UpdateTitles();
        // The views name their windows after the document; after Save As
        // they would go on showing the old name until the next change.
        if (doc.GetTitle() != oldTitle) {
            doc.UpdateAllViews(nullptr, 0, nullptr);
        }
    }
    return true;
}

void CDocManager::UpdateTitles() {
    QList<CDocument*> documents;
    for (CDocTemplate* pTemplate : std::as_const(m_templateList)) {
        for (CDocument* pDoc : pTemplate->GetDocuments()) {
            if (!pDoc->GetPathName().isEmpty()) {
                documents.append(pDoc);
            }
        }
    }
    // Names are compared as the games' file system does, without case.
    QHash<QString, QList<CDocument*>> byName;
    for (CDocument* pDoc : std::as_const(documents)) {
        byName[QFileInfo(pDoc->GetPathName()).fileName().toCaseFolded()].append(pDoc);
    }
    for (const QList<CDocument*>& same : std::as_const(byName)) {
        const QStringList labels = same.size() > 1 ? FolderLabels(same) : QStringList();
        for (qsizetype i = 0; i < same.size(); ++i) {
            CDocument* pDoc = same.at(i);
            QString title = QFileInfo(pDoc->GetPathName()).fileName();
            if (!labels.isEmpty()) {
                title += QStringLiteral(" (%1)").arg(labels.at(i));
            }
            if (pDoc->GetTitle() != title) {
                pDoc->SetTitle(title);
                pDoc->UpdateAllViews(nullptr, 0, nullptr);
            }
        }
    }
}

void CDocManager::OnFileClose(CDocument& doc) {
    if (!SaveModified(doc)) {
        return;
    }
    if (CDocTemplate* pTemplate = CDocTemplate::GetDocTemplate(&doc)) {
        pTemplate->CloseDocument(&doc);
    }
}

void CDocManager::OnFileSave(CDocument& doc) {
    DoFileSave(doc);
}

void CDocManager::OnFileSaveAs(CDocument& doc) {
    DoSave(doc, QString());
}
