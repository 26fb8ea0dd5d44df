#pragma once

#include <QtGlobal>

#include <cstddef>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "bank records are read in place as little-endian");

// The 36-byte header at the start of every bank. Packed so that a header, like
// every record, can be read in place from any byte of a file image.
struct __attribute__((packed)) BnmHeader {
    quint32 word0;               // not interpreted
    quint32 eventTableOffset;    // from the start of the file
    qint32 eventCount;           //
    quint32 resourceTableOffset; // also gives the bank number
    qint32 resourceCount;        //
    quint32 sampleDataOffset;    // = length of the header region
    quint32 word6;               // not interpreted
    quint32 word7;               // not interpreted
    quint32 fileLength;          // rewritten on every save
};

static_assert(sizeof(BnmHeader) == 36);
static_assert(alignof(BnmHeader) == 1);
static_assert(offsetof(BnmHeader, word0) == 0);
static_assert(offsetof(BnmHeader, eventTableOffset) == 4);
static_assert(offsetof(BnmHeader, eventCount) == 8);
static_assert(offsetof(BnmHeader, resourceTableOffset) == 12);
static_assert(offsetof(BnmHeader, resourceCount) == 16);
static_assert(offsetof(BnmHeader, sampleDataOffset) == 20);
static_assert(offsetof(BnmHeader, word6) == 24);
static_assert(offsetof(BnmHeader, word7) == 28);
static_assert(offsetof(BnmHeader, fileLength) == 32);
