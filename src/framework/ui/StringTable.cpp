#include "StringTable.h"

#include "CResourceRegistry.h"

#include "framework/core/CResourceText.h"

#include <algorithm>

namespace {

const StringEntry* FindEntry(int nId) {
    const std::span<const StringEntry> strings = CResourceRegistry::Current().strings;
    const auto it = std::lower_bound(strings.begin(), strings.end(), nId,
                                     [](const StringEntry& e, int id) { return e.nId < id; });
    return it != strings.end() && it->nId == nId ? &*it : nullptr;
}

} // namespace

QString StringTable::Load(int nId) {
    const StringEntry* entry = FindEntry(nId);
    return entry != nullptr ? CResourceText::Tr(entry->pszText) : QString();
}

bool StringTable::Contains(int nId) {
    return FindEntry(nId) != nullptr;
}

QString StringTable::Prompt(int nId) {
    const QString text = Load(nId);
    return text.left(text.indexOf(u'\n'));
}

QString StringTable::ToolTip(int nId) {
    const QString text = Load(nId);
    const qsizetype newline = text.indexOf(u'\n');
    return newline < 0 ? QString() : text.mid(newline + 1);
}
