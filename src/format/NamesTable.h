#pragma once

#include "CNameIdIndex.h"
#include "ResourceName.h"

#include "framework/core/CHugePages.h"

#include <cstddef>
#include <memory>

// What a names file gives a bank: one entry per table position (none at all
// when the file has no body), and for each id the position of its first entry.
struct NamesTable {
    // The entries of 65,535 resources are megabytes, made at every open:
    // they lie in huge pages, which the kernel faults in a few at a time.
    struct Free {
        size_t count; // zero in a default-made table
        void operator()(ResourceName* names) const {
            std::destroy_n(names, count);
            CHugePages::Free(names, count * sizeof(ResourceName));
        }
    };
    using Names = std::unique_ptr<ResourceName[], Free>;
    // count entries, each as ResourceName() makes it.
    static Names Allocate(size_t count) {
        auto* names =
            static_cast<ResourceName*>(CHugePages::Allocate(count * sizeof(ResourceName)));
        std::uninitialized_value_construct_n(names, count);
        return Names(names, Free{count});
    }

    Names names;
    int count = 0;
    CNameIdIndex firstOfId;
};
