#include "CHugePages.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

size_t CHugePages::Mapped(size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

void* CHugePages::Allocate(size_t bytes) {
    if (bytes < kHugePage) {
        void* memory = std::calloc(bytes > 0 ? bytes : 1, 1);
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return memory;
    }
    // Mapped one huge page longer than the whole huge pages it needs, so
    // that an aligned run of them lies inside; the rest is given back.
    // Anonymous memory comes zeroed.
    void* mapped = ::mmap(nullptr, Mapped(bytes) + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto* const start = static_cast<char*>(mapped);
    const size_t lead =
        (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
    if (lead > 0) {
        ::munmap(start, lead);
    }
    // Whole huge pages are kept: the kernel gives one only where all of it
    // lies inside the mapping.
    const size_t kept = Mapped(bytes);
    ::munmap(start + lead + kept, kHugePage - lead);
    ::madvise(start + lead, kept, MADV_HUGEPAGE);
    return start + lead;
}

void CHugePages::Free(void* memory, size_t bytes) {
    if (memory == nullptr) {
        return;
    }
    if (bytes < kHugePage) {
        std::free(memory);
    } else {
        ::munmap(memory, Mapped(bytes));
    }
}
