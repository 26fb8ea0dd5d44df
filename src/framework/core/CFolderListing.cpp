#include "CFolderListing.h"

#include "CCaseFold.h"
#include "CFile.h"
#include "CHugePages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include <dirent.h>

CFolderListing::CFolderListing(const QString& folder)
    : m_strFolder(folder.isEmpty() ? QStringLiteral("/") : folder) {
    // Names and the types that come with them: no entry is stat'ed and
    // nothing is sorted.
    DIR* dir = ::opendir(QFile::encodeName(m_strFolder).constData());
    if (dir == nullptr) {
        return;
    }
    // The names are gathered first so that the table is made at its size
    // once, not grown through every power of two of a folder of many files.
    std::vector<Listed> entries;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        if (bytes == ".." || bytes == ".") {
            continue;
        }
        quint8 kinds = 0;
        if (entry->d_type == DT_DIR) {
            kinds = Folder;
        } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            kinds = Untyped;
        } else if (entry->d_type != DT_REG) {
            kinds = Special;
        }
        entries.push_back({m_text.size(), kinds});
        Add(bytes);
    }
    ::closedir(dir);
    Index(entries);
}

void CFolderListing::Index(const std::vector<Listed>& entries) {
    size_t slots = 16;
    while (slots < 2 * entries.size()) {
        slots *= 2;
    }
    m_pSlots = AllocateSlots(slots);
    m_slots = {m_pSlots.get(), slots};
    m_nMask = slots - 1;
    m_nSeed = QHashSeed::globalSeed();
    const auto nameAt = [&](size_t i) {
        const qsizetype end = i + 1 < entries.size() ? entries[i + 1].at : m_text.size();
        return QStringView(m_text).sliced(entries[i].at, end - entries[i].at);
    };
    // The hashes first, so that each entry's slot is fetched a few entries
    // before it is filled: the slots are filled in no order.
    std::vector<size_t> hashes(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        hashes[i] = qHash(nameAt(i), m_nSeed);
    }
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + kAhead < entries.size()) {
            __builtin_prefetch(&m_slots[hashes[i + kAhead] & m_nMask]);
        }
        const QStringView name = nameAt(i);
        quint8 tag = 0;
        Slot& slot = m_slots[SlotOf(name, hashes[i], tag)];
        if (slot.size == 0) {
            slot.size = static_cast<quint16>(name.size());
            slot.tag = tag;
            slot.at = static_cast<quint32>(entries[i].at);
            std::copy_n(name.utf16(), std::min<qsizetype>(name.size(), kInline), slot.text);
        }
        slot.kinds |= entries[i].kinds;
    }
}

// A table of a huge page or more gets huge pages: its slots are read in no
// order, and with pages of 4 KiB nearly every lookup also missed the TLB,
// which cost more than the lookup itself.
std::unique_ptr<CFolderListing::Slot[], CFolderListing::FreeSlots>
CFolderListing::AllocateSlots(size_t count) {
    static_assert(std::is_trivially_copyable_v<Slot>, "slots are made of zeroed memory");
    const size_t bytes = count * sizeof(Slot);
    return {static_cast<Slot*>(CHugePages::Allocate(bytes)), FreeSlots{bytes}};
}

void CFolderListing::FreeSlots::operator()(Slot* slots) const {
    CHugePages::Free(slots, bytes);
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

void CFolderListing::Add(QByteArrayView bytes) {
    const qsizetype at = m_text.size();
    bool ascii = true;
    for (const char c : bytes) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (!ascii) {
        m_text.append(DecodeName(bytes));
        return;
    }
    // Widened in place: no string of its own for each name.
    m_text.resize(at + bytes.size());
    QChar* out = m_text.data() + at;
    for (const char c : bytes) {
        *out++ = QLatin1Char(c);
    }
}

size_t CFolderListing::SlotOf(QStringView name, size_t hash, quint8& tag) const {
    tag = static_cast<quint8>(hash >> 56U);
    size_t index = hash & m_nMask;
    for (;; index = (index + 1) & m_nMask) {
        const Slot& slot = m_slots[index];
        if (slot.size == 0) {
            return index;
        }
        if (slot.tag != tag || slot.size != name.size()) {
            continue;
        }
        const bool same = name.size() <= kInline
                              ? std::equal(name.utf16(), name.utf16() + name.size(), slot.text)
                              : NameOf(slot) == name;
        if (same) {
            return index;
        }
    }
}

const CFolderListing::Slot* CFolderListing::Find(QStringView name) const {
    if (m_slots.empty() || name.isEmpty()) {
        return nullptr;
    }
    quint8 tag = 0;
    const Slot& slot = m_slots[SlotOf(name, qHash(name, m_nSeed), tag)];
    return slot.size != 0 ? &slot : nullptr;
}

void CFolderListing::Prefetch(QStringView name) const {
    if (!m_slots.empty()) {
        __builtin_prefetch(&m_slots[qHash(name, m_nSeed) & m_nMask]);
    }
}

QString CFolderListing::Resolve(const QString& name) const {
    if (name.isEmpty()) {
        return QString();
    }
    if (Find(name) != nullptr) {
        return name;
    }
    // Most names are found as they are written; the folded names are made
    // at the first that is not.
    if (!m_bFolded) {
        m_bFolded = true;
        m_firstByFolded.reserve(static_cast<qsizetype>(m_slots.size() / 2));
        for (const Slot& slot : m_slots) {
            if (slot.size == 0) {
                continue;
            }
            const QString text = NameOf(slot).toString();
            QString& first = m_firstByFolded[CCaseFold::Fold(text)];
            if (first.isEmpty() || text < first) {
                first = text;
            }
        }
    }
    return m_firstByFolded.value(CCaseFold::Fold(name));
}

bool CFolderListing::IsFolder(const QString& entry) const {
    const Slot* found = Find(entry);
    if (found == nullptr) {
        return false;
    }
    if ((found->kinds & Folder) != 0) {
        return true;
    }
    return (found->kinds & Untyped) != 0 && QFileInfo(QDir(m_strFolder), entry).isDir();
}

bool CFolderListing::IsRegularFile(const QString& entry) const {
    const Slot* found = Find(entry);
    if (found == nullptr || (found->kinds & (Folder | Special)) != 0) {
        return false;
    }
    return (found->kinds & Untyped) == 0 || CFile::IsRegularFile(QDir(m_strFolder).filePath(entry));
}

QStringList CFolderListing::NamesStartingWith(const QString& prefix) const {
    QStringList found;
    for (const Slot& slot : m_slots) {
        // The first character, held in the slot, rules out nearly every name.
        if (slot.size == 0 || slot.size < prefix.size() ||
            (!prefix.isEmpty() && slot.text[0] != prefix.front().unicode())) {
            continue;
        }
        const QStringView name = NameOf(slot);
        if (name.startsWith(prefix)) {
            found.append(name.toString());
        }
    }
    return found;
}
