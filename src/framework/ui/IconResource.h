#pragma once

#include <span>

// An icon as data: the resource paths of its images, one per size.
struct IconResource {
    int nId;
    std::span<const char* const> images;

    // The registered icon with this id, or nullptr.
    static const IconResource* Find(int nId);
};
