#include "CFileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

QStringList CFileDrop::LocalFiles(const QMimeData* pData) {
    QStringList files;
    if (pData != nullptr && pData->hasUrls()) {
        for (const QUrl& url : pData->urls()) {
            if (url.isLocalFile()) {
                files.append(url.toLocalFile());
            }
        }
    }
    return files;
}

bool CFileDrop::AcceptEnter(QDragEnterEvent* event) {
    if (LocalFiles(event->mimeData()).isEmpty()) {
        return false;
    }
    event->acceptProposedAction();
    return true;
}

QStringList CFileDrop::Take(QDropEvent* event) {
    QStringList files = LocalFiles(event->mimeData());
    if (!files.isEmpty()) {
        event->acceptProposedAction();
    }
    return files;
}
