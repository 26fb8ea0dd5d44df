#pragma once

#include <cstddef>

// Zeroed memory for a large table, from huge pages where it is large enough
// for one. Fresh memory costs the kernel a fault for every page of 4 KiB
// the first time it is touched, which for a table of megabytes costs more
// than filling it; and a table read in no order misses the TLB at nearly
// every lookup. Throws std::bad_alloc when there is no memory.
class CHugePages {
public:
    static constexpr size_t kHugePage = size_t{2} << 20U;

    static void* Allocate(size_t bytes);
    // Frees what Allocate(bytes) gave.
    static void Free(void* memory, size_t bytes);

private:
    // What a mapping for bytes spans: whole huge pages.
    static size_t Mapped(size_t bytes);
};
