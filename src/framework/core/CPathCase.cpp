#include "CPathCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>

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
    // Only names are compared, so the folder is read without a stat or a sort
    // per entry: opening a bank asks this once for every sample it writes,
    // into a folder that fills up with them as it goes.
    DIR* dir = ::opendir(QFile::encodeName(folder.path()).constData());
    if (dir == nullptr) {
        return QString();
    }
    QString found;
    while (const dirent* entry = ::readdir(dir)) {
        const QString candidate = QFile::decodeName(entry->d_name);
        if (candidate.compare(name, Qt::CaseInsensitive) == 0 &&
            (found.isEmpty() || candidate < found)) {
            found = candidate;
        }
    }
    ::closedir(dir);
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
