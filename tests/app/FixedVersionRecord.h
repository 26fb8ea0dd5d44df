#pragma once

#include "app/IVersionRecord.h"

// A version record of the test's own, in place of the attached one for the
// object's lifetime.
class FixedVersionRecord final : public IVersionRecord {
public:
    explicit FixedVersionRecord(const char* record) : m_record(record) {}
    const char* Record() const override { return m_record; }

private:
    const char* m_record;
    CSeam<IVersionRecord>::Guard m_guard{this};
};
