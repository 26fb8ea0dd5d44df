#pragma once

#include "CResult.h"

#include <QString>
#include <QtGlobal>

// Where a bank is written: a file being replaced, or any device. Every
// failure comes back as the error, in the words the user is to read, so a
// write that puts nothing down cannot be mistaken for one still under way.
class IBankOutput {
public:
    IBankOutput() = default;
    IBankOutput(const IBankOutput&) = delete;
    IBankOutput& operator=(const IBankOutput&) = delete;
    virtual ~IBankOutput() = default;

    // Writes all count bytes, or fails.
    virtual CResult<void> Write(const void* buffer, qint64 count) = 0;
    virtual qint64 Position() const = 0;
    virtual CResult<void> Seek(qint64 position) = 0;
    // Cuts or extends the output to length bytes.
    virtual CResult<void> SetLength(qint64 length) = 0;
    // The path messages name.
    virtual QString Path() const = 0;
};
