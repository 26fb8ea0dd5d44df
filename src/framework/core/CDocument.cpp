#include "CDocument.h"

#include "AfxMessageBox.h"
#include "CArchive.h"
#include "CFile.h"
#include "CFileException.h"
#include "IDocumentView.h"
#include "IModifiedObserver.h"

#include <QCoreApplication>
#include <QFileInfo>

CDocument::CDocument() = default;

CDocument::~CDocument() = default;

void CDocument::SetTitle(const QString& title) {
    m_strTitle = title;
}

void CDocument::SetPathName(const QString& path) {
    m_strPathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
}

namespace {

class CNoModifiedObserver final : public IModifiedObserver {
public:
    void ModifiedChanged(CDocument& /*document*/) override {}
};

} // namespace

template <> IModifiedObserver& CSeam<IModifiedObserver>::Default() {
    static CNoModifiedObserver nobody;
    return nobody;
}

void CDocument::SetModifiedFlag(bool modified) {
    if (!modified) {
        m_history.SetClean();
    } else if (m_history.IsClean()) {
        m_history.SetNoCleanState();
    }
    ShowModified(modified);
}

void CDocument::ShowModified(bool modified) {
    const bool changed = m_bModified != modified;
    m_bModified = modified;
    if (changed) {
        CSeam<IModifiedObserver>::Current().ModifiedChanged(*this);
    }
}

bool CDocument::Undo() {
    if (!m_history.Undo()) {
        return false;
    }
    ShowModified(!m_history.IsClean());
    UpdateAllViews(nullptr);
    return true;
}

bool CDocument::Redo() {
    if (!m_history.Redo()) {
        return false;
    }
    ShowModified(!m_history.IsClean());
    UpdateAllViews(nullptr);
    return true;
}

void CDocument::AddView(IDocumentView* view) {
    if (view != nullptr && !m_views.contains(view)) {
        m_views.append(view);
    }
}

void CDocument::RemoveView(IDocumentView* view) {
    m_views.removeAll(view);
}

void CDocument::UpdateAllViews(IDocumentView* sender, qintptr hint, void* hintObject) {
    // A view may close itself while updating; walk a copy.
    const QList<IDocumentView*> views = m_views;
    for (IDocumentView* view : views) {
        if (view != sender && m_views.contains(view)) {
            view->OnUpdate(sender, hint, hintObject);
        }
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString& path) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
        ReportSaveLoadException(path, &error, false);
        return false;
    }
    DeleteContents();
    // Loading may be cut short; until it completes the document counts as
    // changed, so nothing half-read is ever mistaken for the file's contents.
    SetModifiedFlag(true);
    try {
        if (file.GetLength() != 0) {
            CArchive archive(&file, CArchive::load);
            Serialize(archive);
        }
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(path, &e, false);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const QString& path) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeCreate | CFile::modeReadWrite, &error)) {
        ReportSaveLoadException(path, &error, true);
        return false;
    }
    try {
        CArchive archive(&file, CArchive::store);
        Serialize(archive);
        file.Commit();
    } catch (const CFileException& e) {
        file.Abort();
        ReportSaveLoadException(path, &e, true);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument() {
    DeleteContents();
}

void CDocument::DeleteContents() {
    // The steps act on contents that are gone.
    m_history.Clear();
}

void CDocument::Serialize(CArchive& /*archive*/) {}

void CDocument::ReportSaveLoadException(const QString& path, const CFileException* error,
                                        bool saving) {
    if (error != nullptr &&
        (error->m_cause != CFileException::none || !error->m_strDetail.isEmpty())) {
        error->ReportError();
        return;
    }
    const QString text =
        saving ? QCoreApplication::translate("CDocument", "Failed to save document %1.")
               : QCoreApplication::translate("CDocument", "Failed to open document %1.");
    AfxMessageBox(text.arg(path), MB_OK | MB_ICONHAND);
}
