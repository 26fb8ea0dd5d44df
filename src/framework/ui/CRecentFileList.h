#pragma once

#include <QString>
#include <QStringList>

class CWinApp;

// The recent-file list: the last files opened or saved, newest first, kept in
// the settings store as section strSection, entries "File1" to "File<n>".
// CWinApp::LoadStdProfileSettings makes one; the File menu shows it.
class CRecentFileList {
public:
    // nSize entries at most; strEntryFormat holds one "%d" for the 1-based
    // position.
    CRecentFileList(QString strSection, QString strEntryFormat, int nSize);

    int GetSize() const { return m_nSize; }
    int GetCount() const { return static_cast<int>(m_names.size()); }
    QString operator[](int nIndex) const;

    // Puts path (made absolute) first; an entry of the same file moves up
    // instead of appearing twice, and the oldest falls off a full list.
    void Add(const QString& path);
    // The entries below nIndex move up.
    void Remove(int nIndex);

    void ReadList(const CWinApp& app);
    void WriteList(CWinApp& app) const;

    // The text of a menu entry: "&1 " and the name, with the folder left out
    // for a file of the current folder and shortened to about 30 characters
    // otherwise (the file name itself is never cut). An '&' in a name is
    // shown as one.
    QString GetMenuText(int nIndex, const QString& currentDir) const;
    static QString AbbreviateName(const QString& path, int nMaxLength);

    static constexpr int kMaxDisplayLength = 30;

private:
    QString EntryName(int nIndex) const;

    QString m_strSection;
    QString m_strEntryFormat;
    int m_nSize;
    QStringList m_names;
};
