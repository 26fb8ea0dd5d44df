#include "BankBuilder.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "dialogs/CWaveHeaderCheck.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(WaveHeaderCheck, ValuesComeFromTheirFixedPlaces) {
    QByteArray head = BankBuilder::Wave(QByteArray(), 2, 44100, 8);
    Check::Header header;
    ASSERT_EQ(Check::Check(44, head, header), Check::Ok);
    EXPECT_EQ(header.channels, 2);
    EXPECT_EQ(header.samplesPerSec, 44100);
    EXPECT_EQ(header.bitsPerSample, 8);
    EXPECT_EQ(header.dataSize, 0);

    // Whatever the chunks say, the words are read where the plain header has
    // them: unsigned for the 16-bit ones, signed for the others.
    BankBuilder::Put16(head, 22, 0xFFFF);
    BankBuilder::Put32(head, 24, 0xFFFFFFFFU);
    BankBuilder::Put16(head, 34, 0x8000);
    BankBuilder::Put32(head, 40, 0x80000000U);
    head.replace(12, 4, "LIST");
    ASSERT_EQ(Check::Check(1000, head, header), Check::Ok);
    EXPECT_EQ(header.channels, 65535);
    EXPECT_EQ(header.samplesPerSec, -1);
    EXPECT_EQ(header.bitsPerSample, 32768);
    EXPECT_EQ(header.dataSize, std::numeric_limits<qint32>::min());
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
