#include "QtPrinters.h"

#include "format/BnmHeader.h"
#include "format/CBnmRecordWriter.h"
#include "format/CLittleEndianWriter.h"
#include "format/SoundEvent.h"
#include "format/SoundResource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every byte of a record different, so a field written at the wrong place,
// in the wrong width or not at all shows.
template <typename Record> Record Numbered() {
    Record record;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (size_t i = 0; i < sizeof record; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    }
    return record;
}

// The file layout of a record is the packed struct's bytes on this
// little-endian host.
template <typename Record> QByteArray InPlace(const Record& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

template <typename Record> QByteArray Written(const Record& record) {
    QByteArray bytes;
    CLittleEndianWriter out(bytes);
    CBnmRecordWriter::Write(out, record);
    return bytes;
}

} // namespace

TEST(LittleEndianWriter, IntegersGoLowByteFirstFromThePosition) {
    QByteArray bytes("xy");
    CLittleEndianWriter out(bytes);
    out.U8(0x01).U16(0x0302).U32(0x07060504U).I32(-2).U64(0x0F0E0D0C0B0A0908ULL).Bytes("ab");
    EXPECT_EQ(bytes, QByteArray("xy\x01\x02\x03\x04\x05\x06\x07\xFE\xFF\xFF\xFF"
                                "\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F"
                                "ab",
                                2 + 1 + 2 + 4 + 4 + 8 + 2));
    EXPECT_EQ(out.Position(), bytes.size());
}

TEST(LittleEndianWriter, WritingInsideOverwritesAndPastTheEndGrows) {
    QByteArray bytes(6, '.');
    CLittleEndianWriter::Put16(bytes, 1, 0x4241);
    EXPECT_EQ(bytes, QByteArray(".AB..."));
    CLittleEndianWriter out(bytes, 4);
    out.U32(0x64636261U);
    EXPECT_EQ(bytes, QByteArray(".AB.abcd"));
    // A gap left by a seek is filled with zeros.
    out.Seek(10);
    out.U8('z');
    EXPECT_EQ(bytes, QByteArray(".AB.abcd\0\0z", 11));
    out.Seek(0);
    out.Zeros(2);
    EXPECT_EQ(bytes.left(3), QByteArray("\0\0B", 3));
    CLittleEndianWriter::Put32(bytes, 7, 0x11223344U);
    EXPECT_EQ(bytes.mid(7), QByteArray("\x44\x33\x22\x11", 4));
}

TEST(LittleEndianWriter, RecordsHaveTheFileLayout) {
    EXPECT_EQ(Written(Numbered<BnmHeader>()), InPlace(Numbered<BnmHeader>()));
    EXPECT_EQ(Written(Numbered<SoundEvent>()), InPlace(Numbered<SoundEvent>()));
    EXPECT_EQ(Written(Numbered<SoundResource>()), InPlace(Numbered<SoundResource>()));
    // A CD track's number lands in the first flags word.
    SoundResource cd;
    std::memset(&cd, 0, sizeof cd);
    cd.cdTrack = 0x0102;
    EXPECT_EQ(Written(cd).mid(24, 4), QByteArray("\x02\x01\0\0", 4));
}
