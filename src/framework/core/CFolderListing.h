#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The names in one folder, read once, for answering many case-blind lookups
// in it: opening a bank looks up a name for every sample, and reading the
// folder for each of them costs time that grows with the square of the
// number of samples. A snapshot: entries made or removed after it was read
// are not seen.
class CFolderListing {
public:
    // Reads folder. A folder that cannot be read lists nothing.
    explicit CFolderListing(const QString& folder);

    // name itself when the folder has an entry of that name; otherwise the
    // first entry in name order that equals name without regard to case;
    // an empty string when there is neither.
    QString Resolve(const QString& name) const;

    // Whether entry, a name Resolve returned, is a folder. Answered from the
    // listing where the file system gave the entry's type with its name.
    bool IsFolder(const QString& entry) const;
    // Whether entry is a regular file or a link to one: a FIFO, a device, a
    // socket or a dangling link is none, and must never be opened as a file.
    bool IsRegularFile(const QString& entry) const;
    // The entries whose names begin with prefix, in no order.
    QStringList NamesStartingWith(const QString& prefix) const;

private:
    static QString DecodeName(QByteArrayView bytes);

    QString m_strFolder;
    QSet<QString> m_names;
    QSet<QString> m_folders;
    // Entries the listing told are neither folders nor regular files.
    QSet<QString> m_special;
    // Entries whose type the listing did not tell (links among them).
    QSet<QString> m_untyped;
    // Case-folded name -> the first entry in name order with that folding;
    // made when a name is first asked for that is not listed as it is.
    mutable QHash<QString, QString> m_firstByFolded;
    mutable bool m_bFolded = false;
};
