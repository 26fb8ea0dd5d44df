#pragma once

#include "CNameIdIndex.h"
#include "ResourceName.h"

#include <memory>

// What a names file gives a bank: one entry per table position (none at all
// when the file has no body), and for each id the position of its first entry.
struct NamesTable {
    std::unique_ptr<ResourceName[]> names;
    int count = 0;
    CNameIdIndex firstOfId;
};
