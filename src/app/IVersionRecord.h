#pragma once

#include "framework/core/CSeam.h"

// Where the version record comes from: the one the build attached to the
// program, or, in a test, one the test wrote.
class IVersionRecord {
public:
    virtual ~IVersionRecord() = default;
    // The record's text; nullptr or empty when there is none.
    virtual const char* Record() const = 0;
};

// The record the build attached (CVersionInfo.cpp).
template <> IVersionRecord& CSeam<IVersionRecord>::Default();
