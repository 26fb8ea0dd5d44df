#pragma once

#include "CNameIdIndex.h"
#include "ResourceName.h"

#include "framework/core/CHugePages.h"

#include <cstddef>
#include <memory>

// What a names file gives a bank: one entry per table position (none at all
// when the file has no body), and for each id the position of its first entry.
struct NamesTable {
    // Whose the characters of the entries' strings are. A table read only to
    // be looked at need not make 65,535 strings of its own, each a heap block
    // that is made, touched fresh and freed again: its strings can borrow
    // pieces of one buffer the table keeps, and then live only as long as it.
    enum class Strings { Owned, Borrowed };

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

    struct FreeText {
        size_t count; // zero in a default-made table
        void operator()(char16_t* text) const { CHugePages::Free(text, count * sizeof(char16_t)); }
    };
    using Text = std::unique_ptr<char16_t[], FreeText>;
    // count characters for Strings::Borrowed, zeroed.
    static Text AllocateText(size_t count) {
        return Text(static_cast<char16_t*>(CHugePages::Allocate(count * sizeof(char16_t))),
                    FreeText{count});
    }

    Text text; // what the strings borrow; none for Strings::Owned
    Names names;
    int count = 0;
    CNameIdIndex firstOfId;
};
