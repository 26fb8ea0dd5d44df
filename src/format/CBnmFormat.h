#pragma once

#include <QString>
#include <QtGlobal>

struct SoundResource;

// The code tables and small rules of the bank format that every layer shares:
// texts for type and storage codes, bank numbers, target references, the 16.16
// fractions and the recomputation of sample offsets.
class CBnmFormat {
public:
    static constexpr int kHeaderSize = 36;
    static constexpr int kResourceSize = 92;
    static constexpr int kEventSize = 32;

    static QString ResourceTypeText(qint32 type);
    static QString StorageText(qint32 storage);
    static QString EventTypeText(qint32 type);
    static QString WaveFormatText(qint32 waveFormat);
    static QString YesNoText(qint32 value);

    // 0 to 3 for the resource table offsets the games use, -1 for any other.
    static int BankFromResourceTableOffset(quint32 resourceTableOffset);

    static quint32 MakeTarget(int bank, int index) {
        return (static_cast<quint32>(bank) << 16U) | (static_cast<quint32>(index) & 0xFFFFU);
    }
    static int TargetIndex(quint32 target) { return static_cast<int>(target & 0xFFFFU); }
    static int TargetBank(quint32 target) { return static_cast<int>(target >> 16U); }

    // An unsigned 16.16 value printed with "%8.6f".
    static QString FractionText(quint32 value);

    // Gives the banked samples consecutive offsets in table order and every
    // other sample the offset 44; other record types keep theirs. Returns the
    // number of bytes the banked samples take together.
    static quint64 RecomputeSampleOffsets(SoundResource* resources, int count);

    // The record's file name up to its terminating zero (all 16 bytes when it
    // has none), one character per byte.
    static QString FileNameText(const SoundResource& resource);
    // Stores name as the record's file name: at most 15 bytes, zero-filled.
    static void SetFileName(SoundResource& resource, const QString& name);
};
