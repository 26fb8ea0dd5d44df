#pragma once

#include <QString>

// Why a bank or one of its files could not be used, in the words a person
// is to be told. An empty text is a failure nobody is told of (an empty
// file, a read cut short by the system).
struct FormatError {
    enum class Kind {
        NotABank,    // nothing that could be a bank, or the read came up short
        TooLarge,    // more than a bank's 32-bit length can describe
        OutOfMemory, // no room for the image
        Truncated,   // the header region is not all there
        Overlap,     // tables share bytes with the header or each other
        Unreadable,  // a file error while reading
        NotAllowed,  // a file that must not be read (not a regular file, too large)
        NotWritten,  // a bank could not be written, or its save was refused
        Empty,       // a file of no bytes: it holds nothing, and nothing is wrong with it
    };
    Kind kind = Kind::NotABank;
    QString text;
};
