#include "CResourceRegistry.h"

#include <QtGlobal>

#include <algorithm>

namespace {

CResourceRegistry::Tables& Registered() {
    static CResourceRegistry::Tables tables;
    return tables;
}

} // namespace

void CResourceRegistry::Register(const Tables& tables) {
    Q_ASSERT(
        std::is_sorted(tables.strings.begin(), tables.strings.end(),
                       [](const StringEntry& a, const StringEntry& b) { return a.nId < b.nId; }));
    Registered() = tables;
}

const CResourceRegistry::Tables& CResourceRegistry::Current() {
    return Registered();
}
