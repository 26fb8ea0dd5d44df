#include "BankBuilder.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "dialogs/CWaveHeaderCheck.h"

#include <gtest/gtest.h>

namespace {

using Check = CWaveHeaderCheck;

TEST(WaveHeaderCheck, ChecksComeInTheirOrder) {
    const QByteArray good = BankBuilder::Wave(QByteArray(10, 'x'));
    QByteArray bad = good;
    bad.replace(0, 4, "JUNK");
    BankBuilder::Put16(bad, 20, 2);
    Check::Header header;
    // Length first, then the read, then "RIFF", then the format tag.
    EXPECT_EQ(Check::Check(43, bad, header), Check::TooShort);
    EXPECT_EQ(Check::Check(54, bad.left(43), header), Check::ReadError);
    EXPECT_EQ(Check::Check(54, QByteArray(), header), Check::ReadError);
    EXPECT_EQ(Check::Check(54, bad, header), Check::NotRiff);
    QByteArray notPcm = good;
    BankBuilder::Put16(notPcm, 20, 0xFFFE);
    EXPECT_EQ(Check::Check(54, notPcm, header), Check::NotPcm);
    EXPECT_EQ(Check::Check(54, good, header), Check::Ok);
}

QByteArray Chunk(const char* id, const QByteArray& body) {
    QByteArray chunk(id, 4);
    chunk.append(4, '\0');
    BankBuilder::Put32(chunk, 4, static_cast<quint32>(body.size()));
    return chunk + body;
}

TEST(WaveHeaderCheck, ValuesComeFromTheFormatAndDataChunks) {
    QByteArray head = BankBuilder::Wave(QByteArray(), 2, 44100, 8);
    Check::Header header;
    ASSERT_EQ(Check::Check(44, head, header), Check::Ok);
    EXPECT_EQ(header.channels, 2);
    EXPECT_EQ(header.samplesPerSec, 44100);
    EXPECT_EQ(header.bitsPerSample, 8);
    EXPECT_EQ(header.dataSize, 0);

    // Unsigned for the 16-bit words, signed for the rate.
    BankBuilder::Put16(head, 22, 0xFFFF);
    BankBuilder::Put32(head, 24, 0xFFFFFFFFU);
    BankBuilder::Put16(head, 34, 0x8000);
    ASSERT_EQ(Check::Check(44, head, header), Check::Ok);
    EXPECT_EQ(header.channels, 65535);
    EXPECT_EQ(header.samplesPerSec, -1);
    EXPECT_EQ(header.bitsPerSample, 32768);
}

TEST(WaveHeaderCheck, FormatChunkAnywhereIsFound) {
    // Another program's file: a LIST chunk first, a format chunk of 18
    // bytes, a fact chunk, then the data. Read at the plain header's fixed
    // places it would give a format tag of 0 and a length of "fmt ".
    const QByteArray data = BankBuilder::Pattern(300, 6);
    const QByteArray format =
        BankBuilder::Wave(QByteArray(), 2, 11025, 16).mid(20, 16) + QByteArray(2, '\0');
    QByteArray chunks = Chunk("LIST", QByteArray("INFOISFT\x04\0\0\0sox\0", 16)) +
                        Chunk("fmt ", format) + Chunk("fact", QByteArray(4, '\0')) +
                        Chunk("data", data);
    const QByteArray wave = QByteArray("RIFF\0\0\0\0WAVE", 12) + chunks;
    Check::Header header;
    ASSERT_EQ(Check::Check(wave.size(), wave, header), Check::Ok);
    EXPECT_EQ(header.channels, 2);
    EXPECT_EQ(header.samplesPerSec, 11025);
    EXPECT_EQ(header.bitsPerSample, 16);
    EXPECT_EQ(header.dataSize, 300);

    TestFolder folder;
    Check::Header fromFile;
    ASSERT_EQ(Check::CheckFile(folder.Write(QStringLiteral("listed.wav"), wave), fromFile),
              Check::Ok);
    EXPECT_EQ(fromFile.dataSize, 300);
    EXPECT_EQ(fromFile.channels, 2);
}

TEST(WaveHeaderCheck, WhatTheFileHoldsIsTheLength) {
    // A data chunk claiming more than the file holds gives what is there,
    // which is what saving can take from it.
    QByteArray cut = BankBuilder::Wave(QByteArray(100, 'd'));
    BankBuilder::Put32(cut, 40, 0x80000000U);
    Check::Header header;
    ASSERT_EQ(Check::Check(cut.size(), cut, header), Check::Ok);
    EXPECT_EQ(header.dataSize, 100);
}

TEST(WaveHeaderCheck, TheFormTypeIsNotCheckedButTheChunksMustBeThere) {
    QByteArray other = BankBuilder::Wave(QByteArray(10, 'x'));
    other.replace(8, 4, "WAVX");
    Check::Header header;
    EXPECT_EQ(Check::Check(other.size(), other, header), Check::Ok);
    EXPECT_EQ(header.dataSize, 10);
    // Without a format or a data chunk there is no PCM wave to take.
    QByteArray noFormat = BankBuilder::Wave(QByteArray(10, 'x'));
    noFormat.replace(12, 4, "LIST");
    EXPECT_EQ(Check::Check(noFormat.size(), noFormat, header), Check::NotPcm);
    QByteArray noData = BankBuilder::Wave(QByteArray(10, 'x'));
    noData.replace(36, 4, "list");
    EXPECT_EQ(Check::Check(noData.size(), noData, header), Check::NotPcm);
    // The extensible form is PCM when its sub-format says so.
    QByteArray extensible = BankBuilder::Wave(QByteArray(), 1, 22050, 16).mid(20, 16);
    BankBuilder::Put16(extensible, 0, 0xFFFE);
    QByteArray extension(24, '\0');
    BankBuilder::Put16(extension, 0, 22);
    extension.replace(
        8, 16, QByteArray("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16));
    const QByteArray wide = QByteArray("RIFF\0\0\0\0WAVE", 12) +
                            Chunk("fmt ", extensible + extension) + Chunk("data", "abcd");
    EXPECT_EQ(Check::Check(wide.size(), wide, header), Check::Ok);
    EXPECT_EQ(header.dataSize, 4);
    extension[8] = '\x03';
    const QByteArray floating = QByteArray("RIFF\0\0\0\0WAVE", 12) +
                                Chunk("fmt ", extensible + extension) + Chunk("data", "abcd");
    EXPECT_EQ(Check::Check(floating.size(), floating, header), Check::NotPcm);
}

TEST(WaveHeaderCheck, FailureLeavesTheHeaderAlone) {
    Check::Header header;
    header.dataSize = 77;
    EXPECT_EQ(Check::Check(10, QByteArray(10, 'R'), header), Check::TooShort);
    EXPECT_EQ(header.dataSize, 77);
}

TEST(WaveHeaderCheck, FilesAreOpenedReadOnlyAndFoldersCannotBeOpened) {
    TestFolder folder;
    const QByteArray bytes = BankBuilder::Wave(QByteArray(100, 'd'), 1, 11025, 16);
    folder.Write(QStringLiteral("Horn.WAV"), bytes);
    Check::Header header;
    EXPECT_EQ(Check::CheckFile(folder.FilePath(QStringLiteral("horn.wav")), header), Check::Ok);
    EXPECT_EQ(header.dataSize, 100);
    EXPECT_EQ(folder.Read(QStringLiteral("Horn.WAV")), bytes);
    EXPECT_EQ(Check::CheckFile(folder.Path() + QLatin1Char('/'), header), Check::CantOpen);
    EXPECT_EQ(Check::CheckFile(folder.FilePath(QStringLiteral("none.wav")), header),
              Check::CantOpen);
}

TEST(WaveHeaderCheck, MessagesNameTheBankFolder) {
    EXPECT_EQ(
        Check::Message(Check::CantOpen, QStringLiteral("/data/banks/")),
        QStringLiteral("Can't open sound file.\nCheck if it's in the /data/banks/ directory"));
    EXPECT_EQ(Check::Message(Check::TooShort, QString()), QStringLiteral("File too short"));
    EXPECT_EQ(Check::Message(Check::ReadError, QString()), QStringLiteral("Error reading file"));
    EXPECT_EQ(Check::Message(Check::NotRiff, QString()), QStringLiteral("Not a RIFF file"));
    EXPECT_EQ(Check::Message(Check::NotPcm, QString()), QStringLiteral("Not a PCM Wave file"));
}

} // namespace
