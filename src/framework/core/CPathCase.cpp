#include "CPathCase.h"

#include "CFolderListing.h"

#include <QDir>
#include <QFileInfo>

QString CPathCase::ResolveExisting(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) {
        return path;
    }
    const QString name = info.fileName();
    if (name.isEmpty()) {
        return QString();
    }
    const QDir folder = info.dir();
    const QString found = CFolderListing(folder.path()).Resolve(name);
    return found.isEmpty() ? QString() : folder.filePath(found);
}

QString CPathCase::ResolveBelow(const QString& base, const QString& relative) {
    QString path = base;
    bool exists = QFileInfo(base).isDir();
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString next = QDir(path).filePath(part);
        if (exists) {
            const QString found = ResolveExisting(next);
            if (!found.isEmpty()) {
                path = found;
                continue;
            }
            exists = false;
        }
        path = next;
    }
    return path;
}
