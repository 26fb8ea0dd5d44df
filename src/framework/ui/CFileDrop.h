#pragma once

#include <QStringList>

class QDragEnterEvent;
class QDropEvent;
class QMimeData;

// Files dragged from a file manager: what a drag carries and taking it.
class CFileDrop {
public:
    // The local files pData carries, in its order; other URLs are left out.
    static QStringList LocalFiles(const QMimeData* pData);
    // Accepts a drag that carries local files; true when it did.
    static bool AcceptEnter(QDragEnterEvent* event);
    // The local files of a drop, which is accepted when there are any.
    static QStringList Take(QDropEvent* event);
};
