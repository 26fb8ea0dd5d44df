#include "CRecentFileList.h"

#include "CWinApp.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

CRecentFileList::CRecentFileList(QString strSection, QString strEntryFormat, int nSize)
    : m_strSection(std::move(strSection)), m_strEntryFormat(std::move(strEntryFormat)),
      m_nSize(std::max(nSize, 0)) {}

QString CRecentFileList::operator[](int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_names.at(nIndex) : QString();
}

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty() || m_nSize == 0) {
        return;
    }
    const QString full = QFileInfo(path).absoluteFilePath();
    // Paths are compared as the file system does: exactly.
    m_names.removeAll(full);
    m_names.prepend(full);
    while (m_names.size() > m_nSize) {
        m_names.removeLast();
    }
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex >= 0 && nIndex < GetCount()) {
        m_names.removeAt(nIndex);
    }
}

QString CRecentFileList::EntryName(int nIndex) const {
    return QString(m_strEntryFormat).replace(QStringLiteral("%d"), QString::number(nIndex + 1));
}

void CRecentFileList::ReadList(const CWinApp& app) {
    m_names.clear();
    QStringList entries;
    for (int i = 0; i < m_nSize; ++i) {
        entries.append(EntryName(i));
    }
    for (const QString& name : app.GetProfileStrings(m_strSection, entries)) {
        // A hand-edited store may leave holes or repeat a file; the list
        // never shows either.
        if (!name.isEmpty() && !m_names.contains(name)) {
            m_names.append(name);
        }
    }
}

void CRecentFileList::WriteList(CWinApp& app) const {
    app.DeleteProfileSection(m_strSection);
    for (int i = 0; i < GetCount(); ++i) {
        app.WriteProfileString(m_strSection, EntryName(i), m_names.at(i));
    }
}

QString CRecentFileList::GetMenuText(int nIndex, const QString& currentDir) const {
    const QString path = (*this)[nIndex];
    const QFileInfo info(path);
    QString name;
    if (!currentDir.isEmpty() &&
        QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(currentDir)) {
        name = info.fileName();
    } else {
        name = AbbreviateName(path, kMaxDisplayLength);
    }
    name.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(name);
}

QString CRecentFileList::AbbreviateName(const QString& path, int nMaxLength) {
    if (path.size() <= nMaxLength) {
        return path;
    }
    // Keep the first folder and as many of the last components as fit, with
    // "..." for what lies between: "/home/.../banks/Bnk_0.bnm".
    QStringList parts = path.split(u'/');
    const QString fileName = parts.takeLast();
    if (parts.size() < 2) {
        return path;
    }
    // The root (empty before the first '/') and the first folder, taken in
    // this order.
    QString head = parts.takeFirst();
    head += u'/' + parts.takeFirst();
    QString tail = fileName;
    while (!parts.isEmpty()) {
        const QString candidate = parts.last() + u'/' + tail;
        if (head.size() + 5 + candidate.size() > nMaxLength) {
            break;
        }
        tail = candidate;
        parts.removeLast();
    }
    if (parts.isEmpty()) {
        return head + u'/' + tail;
    }
    return head + QStringLiteral("/.../") + tail;
}
