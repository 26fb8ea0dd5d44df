#include "CFolderListing.h"

#include <QFile>

#include <dirent.h>

CFolderListing::CFolderListing(const QString& folder) {
    // Only names are needed, so no entry is stat'ed and nothing is sorted.
    DIR* dir =
        ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral("/") : folder).constData());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QStringLiteral(".") || name == QStringLiteral("..")) {
            continue;
        }
        m_names.insert(name);
        QString& first = m_firstByFolded[name.toCaseFolded()];
        if (first.isEmpty() || name < first) {
            first = name;
        }
    }
    ::closedir(dir);
}

QString CFolderListing::Resolve(const QString& name) const {
    if (name.isEmpty()) {
        return QString();
    }
    if (m_names.contains(name)) {
        return name;
    }
    return m_firstByFolded.value(name.toCaseFolded());
}
