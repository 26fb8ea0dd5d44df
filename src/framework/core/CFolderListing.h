#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <span>
#include <vector>

// The names in one folder, read once, for answering many case-blind lookups
// in it: opening a bank looks up a name for every sample, and reading the
// folder for each of them costs time that grows with the square of the
// number of samples. A snapshot: entries made or removed after it was read
// are not seen.
//
// The names lie back to back in one string and are found through one flat
// table of their hashes: a folder of 65,535 waves is looked up once or twice
// for each of them, and with a set of strings each lookup waited on memory
// scattered over the whole heap.
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
    // Asks the processor to fetch where name would be found, ahead of a
    // Resolve of it: a lookup in a big folder waits on memory, and many
    // lookups in a row can wait together.
    void Prefetch(QStringView name) const;
    // The entries whose names begin with prefix, in no order.
    QStringList NamesStartingWith(const QString& prefix) const;

private:
    // What the listing told of an entry; an entry listed twice (two names
    // that decode alike) has what either told.
    enum Kind : quint8 {
        Folder = 1,  // a folder
        Untyped = 2, // the listing did not tell (links among them)
        Special = 4  // neither a folder nor a regular file
    };
    // Names this long or shorter (every 8.3 name) are held in their slot
    // too, so that finding one reads one piece of memory.
    static constexpr int kInline = 12;
    struct Slot {
        quint16 size = 0; // 0: an empty slot
        quint8 kinds = 0;
        quint8 tag = 0; // bits of the hash the slot's place does not use
        quint32 at = 0; // where the name starts in m_text
        char16_t text[kInline] = {};
    };
    // The slots come zeroed from the allocator, not written over once more
    // to clear them; see AllocateSlots.
    struct FreeSlots {
        size_t bytes;
        void operator()(Slot* slots) const;
    };
    static std::unique_ptr<Slot[], FreeSlots> AllocateSlots(size_t count);

    // An entry as read: where its name starts in m_text, and its kinds.
    struct Listed {
        qsizetype at;
        quint8 kinds;
    };

    static QString DecodeName(QByteArrayView bytes);
    // Makes the slots for the entries read.
    void Index(const std::vector<Listed>& entries);
    // Appends the decoded name to m_text.
    void Add(QByteArrayView bytes);
    QStringView NameOf(const Slot& slot) const {
        return QStringView(m_text).sliced(slot.at, slot.size);
    }
    // The slot of the entry named name, whose hash is hash, or of the empty
    // slot where it would go; tag is the tag it has or would have.
    size_t SlotOf(QStringView name, size_t hash, quint8& tag) const;
    // The entry named name, or nullptr.
    const Slot* Find(QStringView name) const;

    QString m_strFolder;
    QString m_text;                              // every name, one after the other
    std::unique_ptr<Slot[], FreeSlots> m_pSlots; // open addressing, at most half full
    std::span<Slot> m_slots;
    size_t m_nMask = 0;
    size_t m_nSeed = 0;
    // Case-folded name -> the first entry in name order with that folding;
    // made when a name is first asked for that is not listed as it is.
    mutable QHash<QString, QString> m_firstByFolded;
    mutable bool m_bFolded = false;
};
