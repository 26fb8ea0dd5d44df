#pragma once

#include "BnmHeader.h"

#include <QtGlobal>

#include <cstddef>

// One 92-byte entry of a bank's resource table: a sampled sound or a CD-audio
// track. Edited in place inside the document's file image.
struct __attribute__((packed)) SoundResource {
    static constexpr qint32 kTypeSample = 1;
    static constexpr qint32 kTypeCdAudio = 3;
    static constexpr qint32 kStorageExternal = 0;
    static constexpr qint32 kStorageBank = 1;
    static constexpr qint32 kWaveFormatPcm = 1;
    // The place of the data in a wave file with the plain 44-byte header.
    static constexpr qint32 kExternalOffset = 44;
    // fileName holds at most this many characters and a terminating zero.
    static constexpr int kMaxFileName = 15;

    qint32 resourceId; // the names file is searched with its low 16 bits
    qint32 type;
    qint32 storage;
    qint32 length;        // bytes of sample data
    qint32 offset;        // banked: from sampleDataOffset; external: 44
    quint8 volume;        // 0 to 127 when the editor wrote it
    quint8 volumeRest[3]; // rest of the volume word, not interpreted
    union {
        qint32 flags[6]; // never edited
        quint16 cdTrack; // CD Audio: the low half of flags[0]
    };
    qint32 looped;
    qint32 loopStart;
    qint32 loopLength;
    qint32 samplesPerSec;
    quint16 bitsPerSample;
    quint16 channels;
    qint32 waveFormat;
    char fileName[16];
    quint32 word22; // not interpreted

    bool IsSample() const { return type == kTypeSample; }
    bool IsCdAudio() const { return type == kTypeCdAudio; }
    bool IsBankedSample() const { return type == kTypeSample && storage == kStorageBank; }
};

static_assert(sizeof(SoundResource) == 92);
static_assert(alignof(SoundResource) == 1);
static_assert(offsetof(SoundResource, resourceId) == 0);
static_assert(offsetof(SoundResource, type) == 4);
static_assert(offsetof(SoundResource, storage) == 8);
static_assert(offsetof(SoundResource, length) == 12);
static_assert(offsetof(SoundResource, offset) == 16);
static_assert(offsetof(SoundResource, volume) == 20);
static_assert(offsetof(SoundResource, volumeRest) == 21);
static_assert(offsetof(SoundResource, flags) == 24);
static_assert(offsetof(SoundResource, cdTrack) == 24);
static_assert(offsetof(SoundResource, looped) == 48);
static_assert(offsetof(SoundResource, loopStart) == 52);
static_assert(offsetof(SoundResource, loopLength) == 56);
static_assert(offsetof(SoundResource, samplesPerSec) == 60);
static_assert(offsetof(SoundResource, bitsPerSample) == 64);
static_assert(offsetof(SoundResource, channels) == 66);
static_assert(offsetof(SoundResource, waveFormat) == 68);
static_assert(offsetof(SoundResource, fileName) == 72);
static_assert(offsetof(SoundResource, word22) == 88);
