#include "CNameIdIndex.h"

#include <algorithm>

CNameIdIndex::CNameIdIndex(const ResourceName* names, int count) {
    // The array may be a few times longer than there are entries, so that a
    // bank whose ids start at some offset or skip a few still uses it.
    const int denseLimit = 4 * count + 1024;
    int highest = -1;
    for (int i = 0; i < count; ++i) {
        if (names[i].id < denseLimit) {
            highest = std::max(highest, names[i].id);
        }
    }
    m_dense.assign(static_cast<size_t>(highest) + 1, -1);
    // Walked from the end, the last write of an id is its first entry.
    for (int i = count - 1; i >= 0; --i) {
        const int id = names[i].id;
        if (id >= 0 && id <= highest) {
            m_dense[static_cast<size_t>(id)] = i;
        } else {
            m_sparse.insert(id, i);
        }
    }
}
