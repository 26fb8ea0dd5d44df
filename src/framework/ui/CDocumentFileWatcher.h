#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>

class CDocument;
class QFileSystemWatcher;

// Watches the files of the open documents and tells each document when its
// file may have changed on disk, as text editors do; the document finds out
// whether it did and what to say. Never while a modal dialog is up: a reload
// under an open dialog would pull the records from under it.
class CDocumentFileWatcher : public QObject {
public:
    using Documents = std::function<QList<CDocument*>()>;

    // documents gives the open documents whenever asked; the watcher looks
    // at their path names about once a second.
    explicit CDocumentFileWatcher(Documents documents, QObject* parent = nullptr);

    // Follows the documents' path names now and tells those whose files
    // changed since the last look.
    void Sync();

private:
    void OnChanged(const QString& path);

    Documents m_documents;
    QFileSystemWatcher* m_pWatcher;
    QTimer m_timer;
    // Paths that changed and whose documents have not been told yet.
    QSet<QString> m_pending;
};
