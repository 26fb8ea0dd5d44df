#pragma once

#include "ResourceName.h"

#include <QHash>

#include <vector>

// For each id of a names file, the table position of its first entry. The
// lists look a name up for every row, in the order of the table, and the ids
// of a bank's names are mostly its resource ids, small and close together:
// those are kept in a plain array, so that a lookup is one read next to the
// last one. Any other id (negative, or far past the rest) is kept in a hash.
class CNameIdIndex {
public:
    CNameIdIndex() = default;
    // The first entry of each id among the count entries of names.
    CNameIdIndex(const ResourceName* names, int count);

    // The position of the first entry with this id, or -1.
    int Find(int id) const {
        if (id >= 0 && static_cast<size_t>(id) < m_dense.size()) {
            return m_dense[static_cast<size_t>(id)];
        }
        return m_sparse.value(id, -1);
    }

private:
    std::vector<int> m_dense; // -1 where no entry has the id
    QHash<int, int> m_sparse;
};
