#include "BankBuilder.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "format/CWaveFile.h"
#include "format/CWaveReader.h"
#include "framework/core/CFile.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

using Info = CWaveReader::Info;

QByteArray Chunk(const char* id, const QByteArray& body, quint32 size) {
    QByteArray chunk(id, 4);
    chunk.append(4, '\0');
    BankBuilder::Put32(chunk, 4, size);
    return chunk + body;
}

QByteArray Chunk(const char* id, const QByteArray& body) {
    return Chunk(id, body, static_cast<quint32>(body.size()));
}

QByteArray Riff(const QByteArray& chunks) {
    QByteArray riff("RIFF\0\0\0\0WAVE", 12);
    BankBuilder::Put32(riff, 4, static_cast<quint32>(chunks.size() + 4));
    return riff + chunks;
}

// The 16-byte body of a plain PCM format chunk.
QByteArray PcmFormat(quint16 channels, quint32 rate, quint16 bits) {
    return CWaveFile::MakeHeader(channels, rate, bits, 0).mid(20, 16);
}

qint64 Duration(const QByteArray& image) {
    QByteArray copy = image;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return CWaveReader::DurationMs(buffer);
}

// The walk through every kind of source, which must agree.
Info ReadAll(const QByteArray& bytes) {
    const Info fromBytes = CWaveReader::Read(bytes);
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const Info fromDevice = CWaveReader::Read(buffer);
    TestFolder folder;
    CFile file;
    EXPECT_TRUE(file.Open(folder.Write(QStringLiteral("w.wav"), bytes), CFile::modeRead));
    const Info fromFile = CWaveReader::Read(file);
    for (const Info* other : {&fromDevice, &fromFile}) {
        EXPECT_EQ(other->riff, fromBytes.riff);
        EXPECT_EQ(other->wave, fromBytes.wave);
        EXPECT_EQ(other->hasFormat, fromBytes.hasFormat);
        EXPECT_EQ(other->format.formatTag, fromBytes.format.formatTag);
        EXPECT_EQ(other->format.pcm, fromBytes.format.pcm);
        EXPECT_EQ(other->hasData, fromBytes.hasData);
        EXPECT_EQ(other->dataOffset, fromBytes.dataOffset);
        EXPECT_EQ(other->dataClaimed, fromBytes.dataClaimed);
        EXPECT_EQ(other->dataHeld, fromBytes.dataHeld);
        EXPECT_EQ(other->loops.size(), fromBytes.loops.size());
        EXPECT_EQ(other->truncated, fromBytes.truncated);
    }
    return fromBytes;
}

// Wave files written by another program, so that the reader is not only
// checked against our own idea of the format.
class SoxWave : public ::testing::Test {
protected:
    void SetUp() override {
        m_sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
        if (m_sox.isEmpty()) {
            GTEST_SKIP() << "sox is not installed";
        }
    }

    // frames of a sine tone in the given layout, as sox writes them.
    QByteArray Make(int rate, int channels, int bits, int frames) {
        const QString path = folder.FilePath(QStringLiteral("sox.wav"));
        QProcess sox;
        // The rate is given to the null input too, so that nothing is resampled
        // and the frame count stands.
        sox.start(m_sox, {QStringLiteral("-r"), QString::number(rate), QStringLiteral("-n"),
                          QStringLiteral("-r"), QString::number(rate), QStringLiteral("-c"),
                          QString::number(channels), QStringLiteral("-b"), QString::number(bits),
                          QStringLiteral("-e"),
                          bits == 8 ? QStringLiteral("unsigned-integer")
                                    : QStringLiteral("signed-integer"),
                          path, QStringLiteral("synth"), QStringLiteral("%1s").arg(frames),
                          QStringLiteral("sine"), QStringLiteral("440")});
        EXPECT_TRUE(sox.waitForFinished(30000));
        EXPECT_EQ(sox.exitCode(), 0) << sox.readAllStandardError().toStdString();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    TestFolder folder;

private:
    QString m_sox;
};

} // namespace

TEST_F(SoxWave, EveryCommonLayoutGivesItsFormatAndData) {
    struct Case {
        int rate;
        int channels;
        int bits;
        int frames;
        quint16 tag; // sox writes the extensible form past 16 bits and 2 channels
    };
    const Case cases[] = {
        {22050, 1, 16, 2205, 1},   {11025, 2, 8, 1103, 1},      {44100, 2, 24, 4410, 0xFFFE},
        {8000, 3, 16, 80, 0xFFFE}, {48000, 1, 32, 480, 0xFFFE}, {8000, 1, 8, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, "
                                        << c.bits << " bits, " << c.frames << " frames");
        const QByteArray wave = Make(c.rate, c.channels, c.bits, c.frames);
        const Info info = ReadAll(wave);
        EXPECT_TRUE(info.wave);
        ASSERT_TRUE(info.hasFormat);
        EXPECT_EQ(info.format.formatTag, c.tag);
        EXPECT_TRUE(info.format.pcm);
        EXPECT_EQ(info.format.channels, c.channels);
        EXPECT_EQ(info.format.samplesPerSec, static_cast<quint32>(c.rate));
        EXPECT_EQ(info.format.bitsPerSample, c.bits);
        EXPECT_EQ(info.format.blockAlign, c.channels * c.bits / 8);
        EXPECT_EQ(info.format.avgBytesPerSec,
                  static_cast<quint32>(c.rate * c.channels * c.bits / 8));
        ASSERT_TRUE(info.hasData);
        const qint64 dataSize = qint64{c.frames} * c.channels * c.bits / 8;
        EXPECT_EQ(info.dataClaimed, dataSize);
        EXPECT_EQ(info.dataHeld, dataSize);
        EXPECT_FALSE(info.truncated);
        // The data ends the file, but for the pad byte of an odd size.
        EXPECT_EQ(info.dataOffset + dataSize + (dataSize & 1), wave.size());
        EXPECT_EQ(wave.mid(static_cast<qsizetype>(info.dataOffset) - 8, 4), QByteArray("data"));
        EXPECT_EQ(Duration(wave), qint64{c.frames} * 1000 / c.rate);

        TestFolder files;
        CFile file;
        ASSERT_TRUE(file.Open(files.Write(QStringLiteral("f.wav"), wave), CFile::modeRead));
        qint64 offset = -1;
        qint64 size = -1;
        ASSERT_TRUE(CWaveFile::FindDataChunk(file, &offset, &size));
        EXPECT_EQ(offset, info.dataOffset);
        EXPECT_EQ(size, dataSize);
    }
}

TEST_F(SoxWave, ChunksAddedBeforeAndAfterTheDataAreSteppedOver) {
    const QByteArray wave = Make(22050, 1, 16, 300);
    ASSERT_EQ(wave.mid(36, 4), QByteArray("data"));
    // An odd-sized LIST chunk with its pad byte, then a sampler chunk with
    // one loop behind the data.
    QByteArray info = Chunk("LIST", QByteArray("INFOICMT\x05\0\0\0Horn\0", 17)) + '\0';
    QByteArray sampler(36, '\0');
    BankBuilder::Put32(sampler, 28, 1);
    QByteArray loop(24, '\0');
    BankBuilder::Put32(loop, 8, 10);
    BankBuilder::Put32(loop, 12, 250);
    QByteArray edited = wave.left(36) + info + wave.mid(36) + Chunk("smpl", sampler + loop);
    BankBuilder::Put32(edited, 4, static_cast<quint32>(edited.size() - 8));
    const Info found = ReadAll(edited);
    ASSERT_TRUE(found.hasData);
    EXPECT_EQ(found.dataOffset, 36 + info.size() + 8);
    EXPECT_EQ(found.dataHeld, 600);
    EXPECT_EQ(edited.mid(static_cast<qsizetype>(found.dataOffset), 600), wave.mid(44, 600));
    ASSERT_EQ(found.loops.size(), 1U);
    EXPECT_EQ(found.loops[0].start, 10U);
    EXPECT_EQ(found.loops[0].end, 250U);
    EXPECT_FALSE(found.truncated);
    EXPECT_EQ(Duration(edited), 300 * 1000 / 22050);
}

TEST(WaveReader, DataClaimingMoreThanTheFileHoldsIsCutAndReported) {
    QByteArray wave = BankBuilder::Wave(BankBuilder::Pattern(100, 1));
    BankBuilder::Put32(wave, 40, 1000);
    const Info info = ReadAll(wave);
    EXPECT_EQ(info.dataOffset, 44);
    EXPECT_EQ(info.dataClaimed, 1000);
    EXPECT_EQ(info.dataHeld, 100);
    EXPECT_TRUE(info.truncated);

    TestFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder.Write(QStringLiteral("cut.wav"), wave), CFile::modeRead));
    qint64 offset = 0;
    qint64 size = 0;
    qint64 claimed = 0;
    ASSERT_TRUE(CWaveFile::FindDataChunk(file, &offset, &size, &claimed));
    EXPECT_EQ(size, 100);
    EXPECT_EQ(claimed, 1000);
}

TEST(WaveReader, TruncatedFilesKeepWhatTheyHold) {
    const QByteArray wave = BankBuilder::Wave(BankBuilder::Pattern(10, 2));
    // Cut inside the format chunk, inside the data chunk's header, and
    // right after it.
    const Info inFormat = ReadAll(wave.left(30));
    EXPECT_TRUE(inFormat.riff);
    EXPECT_FALSE(inFormat.hasFormat);
    EXPECT_FALSE(inFormat.hasData);
    EXPECT_TRUE(inFormat.truncated);
    const Info inHeader = ReadAll(wave.left(40));
    EXPECT_TRUE(inHeader.hasFormat);
    EXPECT_FALSE(inHeader.hasData);
    EXPECT_TRUE(inHeader.truncated);
    const Info noData = ReadAll(wave.left(44));
    ASSERT_TRUE(noData.hasData);
    EXPECT_EQ(noData.dataHeld, 0);
    EXPECT_EQ(noData.dataClaimed, 10);
    EXPECT_TRUE(noData.truncated);
    // A RIFF header alone, and less.
    EXPECT_FALSE(ReadAll(wave.left(12)).hasFormat);
    EXPECT_FALSE(ReadAll(wave.left(11)).riff);
    EXPECT_FALSE(ReadAll(QByteArray()).riff);
}

TEST(WaveReader, OddChunksArePaddedAndUnknownOnesSkipped) {
    const QByteArray chunks = Chunk("JUNK", QByteArray("abc\0", 4), 3) +
                              Chunk("fmt ", PcmFormat(2, 8000, 8)) + Chunk("zzzz", QByteArray()) +
                              Chunk("data", QByteArray("12345\0", 6), 5);
    const Info info = ReadAll(Riff(chunks));
    ASSERT_TRUE(info.hasFormat);
    EXPECT_EQ(info.format.channels, 2);
    ASSERT_TRUE(info.hasData);
    EXPECT_EQ(info.dataOffset, 12 + 12 + 24 + 8 + 8);
    EXPECT_EQ(info.dataHeld, 5);
    EXPECT_FALSE(info.truncated);
    // Without its pad byte the last chunk still counts whole.
    const Info unpadded = ReadAll(Riff(chunks).chopped(1));
    EXPECT_EQ(unpadded.dataHeld, 5);
    EXPECT_FALSE(unpadded.truncated);
}

TEST(WaveReader, OnlyTheExtensibleFormWithThePcmSubFormatIsPcm) {
    // Extension size 22, 16 valid bits, no channel mask, then the GUID.
    QByteArray extensible = PcmFormat(1, 22050, 16);
    BankBuilder::Put16(extensible, 0, 0xFFFE);
    QByteArray extension(24, '\0');
    BankBuilder::Put16(extension, 0, 22);
    BankBuilder::Put16(extension, 2, 16);
    extension.replace(
        8, 16, QByteArray("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16));
    const QByteArray data = Chunk("data", QByteArray(4, '\0'));
    EXPECT_TRUE(ReadAll(Riff(Chunk("fmt ", extensible + extension) + data)).format.pcm);

    // IEEE float as the sub-format, the GUID cut off, a short extension size.
    QByteArray floating = extension;
    floating[8] = '\x03';
    EXPECT_FALSE(ReadAll(Riff(Chunk("fmt ", extensible + floating) + data)).format.pcm);
    EXPECT_FALSE(ReadAll(Riff(Chunk("fmt ", extensible + extension.left(20)) + data)).format.pcm);
    QByteArray shortExtension = extension;
    BankBuilder::Put16(shortExtension, 0, 0);
    EXPECT_FALSE(ReadAll(Riff(Chunk("fmt ", extensible + shortExtension) + data)).format.pcm);
    // Other plain tags, and a format chunk too short for its fields.
    QByteArray adpcm = PcmFormat(1, 22050, 4);
    BankBuilder::Put16(adpcm, 0, 2);
    const Info notPcm = ReadAll(Riff(Chunk("fmt ", adpcm) + data));
    EXPECT_TRUE(notPcm.hasFormat);
    EXPECT_FALSE(notPcm.format.pcm);
    EXPECT_FALSE(ReadAll(Riff(Chunk("fmt ", PcmFormat(1, 22050, 16).left(14)) + data)).hasFormat);
}

TEST(WaveReader, SamplerLoopsAreReadAsFarAsTheChunkHoldsThem) {
    QByteArray sampler(36, '\0');
    BankBuilder::Put32(sampler, 28, 3); // three loops claimed
    QByteArray loops(48, '\0');         // two held
    for (int i = 0; i < 2; ++i) {
        BankBuilder::Put32(loops, i * 24 + 4, 1);
        BankBuilder::Put32(loops, i * 24 + 8, 100U * (i + 1));
        BankBuilder::Put32(loops, i * 24 + 12, 200U * (i + 1));
        BankBuilder::Put32(loops, i * 24 + 20, 7);
    }
    const QByteArray wave =
        Riff(Chunk("smpl", sampler + loops) + Chunk("fmt ", PcmFormat(1, 8000, 8)) +
             Chunk("data", QByteArray(8, 'd')));
    const Info info = ReadAll(wave);
    ASSERT_EQ(info.loops.size(), 2U);
    EXPECT_EQ(info.loops[1].type, 1U);
    EXPECT_EQ(info.loops[1].start, 200U);
    EXPECT_EQ(info.loops[1].end, 400U);
    EXPECT_EQ(info.loops[1].playCount, 7U);
    EXPECT_EQ(info.dataHeld, 8);
    // A sampler chunk too short for its header gives no loops.
    EXPECT_TRUE(ReadAll(Riff(Chunk("smpl", sampler.left(30)))).loops.empty());
    // The search for the data alone stops before a sampler chunk behind it.
    const QByteArray behind =
        Riff(Chunk("data", QByteArray(2, 'd')) + Chunk("smpl", sampler + loops));
    EXPECT_EQ(CWaveReader::Read(behind).loops.size(), 2U);
    EXPECT_TRUE(CWaveReader::Read(behind, CWaveReader::Stop::AtData).loops.empty());
}

TEST(WaveReader, DurationComesFromTheFormatAndDataChunks) {
    // 22050 frames of 16-bit mono: one second.
    EXPECT_EQ(Duration(BankBuilder::Wave(QByteArray(44100, '\0'), 1, 22050, 16)), 1000);
    EXPECT_EQ(Duration(BankBuilder::Wave(QByteArray(4410, '\0'), 2, 11025, 8)), 200);
    EXPECT_EQ(Duration(BankBuilder::Wave(QByteArray())), 0);

    // A longer "fmt " chunk and an odd-sized chunk before the data.
    const QByteArray canonical = BankBuilder::Wave(QByteArray(8820, '\0'), 1, 22050, 16);
    QByteArray format = canonical.mid(20, 16) + QByteArray(2, '\0');
    QByteArray image = QByteArray("RIFF") + QByteArray(4, '\0') + "WAVE" + Chunk("fmt ", format) +
                       Chunk("LIST", QByteArray(3, 'x')) + QByteArray(1, '\0') +
                       Chunk("data", QByteArray(8820, '\0'));
    EXPECT_EQ(Duration(image), 200);

    // A data chunk that claims more than the file holds counts what is there.
    QByteArray cut = canonical;
    BankBuilder::Put32(cut, 40, 1000000);
    EXPECT_EQ(Duration(cut), 200);
}

TEST(WaveReader, FilesThatAreNoPlayableWaveHaveNoDuration) {
    QByteArray notRiff = BankBuilder::Wave(QByteArray(100, '\0'));
    notRiff.replace(0, 4, "RIFX");
    EXPECT_EQ(Duration(notRiff), -1);
    QByteArray notWave = BankBuilder::Wave(QByteArray(100, '\0'));
    notWave.replace(8, 4, "AVI ");
    EXPECT_EQ(Duration(notWave), -1);
    QByteArray noRate = BankBuilder::Wave(QByteArray(100, '\0'));
    BankBuilder::Put32(noRate, 24, 0);
    EXPECT_EQ(Duration(noRate), -1);
    QByteArray noChannels = BankBuilder::Wave(QByteArray(100, '\0'));
    BankBuilder::Put16(noChannels, 22, 0);
    EXPECT_EQ(Duration(noChannels), -1);
    QByteArray noFormat =
        QByteArray("RIFF") + QByteArray(4, '\0') + "WAVE" + Chunk("data", QByteArray(10, '\0'));
    EXPECT_EQ(Duration(noFormat), -1);
    EXPECT_EQ(Duration(QByteArray("RIFF")), -1);
    EXPECT_EQ(Duration(QByteArray()), -1);
}
