#include "CFolderListing.h"

#include "CCaseFold.h"
#include "CFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>

CFolderListing::CFolderListing(const QString& folder)
    : m_strFolder(folder.isEmpty() ? QStringLiteral("/") : folder) {
    // Names and the types that come with them: no entry is stat'ed and
    // nothing is sorted.
    DIR* dir = ::opendir(QFile::encodeName(m_strFolder).constData());
    if (dir == nullptr) {
        return;
    }
    // The names are gathered first so that the set is made at its size once,
    // not grown through every power of two of a folder of many files.
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        if (bytes == ".." || bytes == ".") {
            continue;
        }
        const QString name = DecodeName(bytes);
        names.append(name);
        if (entry->d_type == DT_DIR) {
            m_folders.insert(name);
        } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            m_untyped.insert(name);
        } else if (entry->d_type != DT_REG) {
            m_special.insert(name);
        }
    }
    ::closedir(dir);
    m_names.reserve(names.size());
    for (const QString& name : names) {
        m_names.insert(name);
    }
}

// Every locale we run in spells ASCII as ASCII, and an ASCII name, which
// nearly every wave file has, needs no decoder.
QString CFolderListing::DecodeName(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return QFile::decodeName(bytes.toByteArray());
        }
    }
    return QString::fromLatin1(bytes);
}

QString CFolderListing::Resolve(const QString& name) const {
    if (name.isEmpty()) {
        return QString();
    }
    if (m_names.contains(name)) {
        return name;
    }
    // Most names are found as they are written; the folded names are made
    // at the first that is not.
    if (!m_bFolded) {
        m_bFolded = true;
        m_firstByFolded.reserve(m_names.size());
        for (const QString& entry : m_names) {
            QString& first = m_firstByFolded[CCaseFold::Fold(entry)];
            if (first.isEmpty() || entry < first) {
                first = entry;
            }
        }
    }
    return m_firstByFolded.value(CCaseFold::Fold(name));
}

bool CFolderListing::IsFolder(const QString& entry) const {
    if (m_folders.contains(entry)) {
        return true;
    }
    return m_untyped.contains(entry) && QFileInfo(QDir(m_strFolder), entry).isDir();
}

bool CFolderListing::IsRegularFile(const QString& entry) const {
    if (!m_names.contains(entry) || m_folders.contains(entry) || m_special.contains(entry)) {
        return false;
    }
    return !m_untyped.contains(entry) || CFile::IsRegularFile(QDir(m_strFolder).filePath(entry));
}

QStringList CFolderListing::NamesStartingWith(const QString& prefix) const {
    QStringList found;
    for (const QString& name : m_names) {
        if (name.startsWith(prefix)) {
            found.append(name);
        }
    }
    return found;
}
