#include "CDocumentFileWatcher.h"

#include "framework/core/CDocument.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>

CDocumentFileWatcher::CDocumentFileWatcher(Documents documents, QObject* parent)
    : QObject(parent), m_documents(std::move(documents)), m_pWatcher(new QFileSystemWatcher(this)) {
    connect(m_pWatcher, &QFileSystemWatcher::fileChanged, this, &CDocumentFileWatcher::OnChanged);
    connect(&m_timer, &QTimer::timeout, this, &CDocumentFileWatcher::Sync);
    m_timer.start(1000);
}

void CDocumentFileWatcher::OnChanged(const QString& path) {
    m_pending.insert(path);
    // A save by another program is a write and a rename, often more than one
    // notice; they are told together a moment later.
    QTimer::singleShot(200, this, &CDocumentFileWatcher::Sync);
}

void CDocumentFileWatcher::Sync() {
    const QList<CDocument*> documents = m_documents();
    QSet<QString> wanted;
    for (const CDocument* document : documents) {
        if (!document->GetPathName().isEmpty()) {
            wanted.insert(QFileInfo(document->GetPathName()).absoluteFilePath());
        }
    }
    // A file replaced by a rename is no longer watched: it is taken up again
    // under its name, and so is one that was missing for a while.
    const QStringList watched = m_pWatcher->files();
    for (const QString& path : watched) {
        if (!wanted.contains(path)) {
            m_pWatcher->removePath(path);
        }
    }
    for (const QString& path : wanted) {
        if (!watched.contains(path) && QFileInfo::exists(path)) {
            m_pWatcher->addPath(path);
            // It may have changed while nobody watched.
            m_pending.insert(path);
        }
    }
    if (m_pending.isEmpty() || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    for (CDocument* document : documents) {
        if (m_pending.remove(QFileInfo(document->GetPathName()).absoluteFilePath())) {
            // One at a time: answering may close documents or open others,
            // and the list is asked for again at the next look.
            document->OnFileChangedOnDisk();
            return;
        }
    }
    // Paths that no open document has any more.
    m_pending.clear();
}
