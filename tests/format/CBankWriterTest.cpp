// The bank writer on its own, and what it does when its inputs or its output
// give way while it works.
#include "BankBuilder.h"
#include "RecordingProgressSink.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "format/CBankReader.h"
#include "format/CBankWriter.h"
#include "format/CBnmFormat.h"
#include "format/CDeviceBankOutput.h"
#include "format/CFileBankOutput.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr int kBig = 3 << 20; // read in several pieces

// An output that runs a test's action after every write, to change the world
// while the writer is in the middle of a sample.
class WatchedOutput final : public IBankOutput {
public:
    WatchedOutput(IBankOutput& inner, std::function<void(qint64 count)> afterWrite)
        : m_inner(inner), m_afterWrite(std::move(afterWrite)) {}
    CResult<void> Write(const void* buffer, qint64 count) override {
        CResult<void> put = m_inner.Write(buffer, count);
        m_afterWrite(count);
        return put;
    }
    qint64 Position() const override { return m_inner.Position(); }
    CResult<void> Seek(qint64 position) override { return m_inner.Seek(position); }
    CResult<void> SetLength(qint64 length) override { return m_inner.SetLength(length); }
    QString Path() const override { return m_inner.Path(); }

private:
    IBankOutput& m_inner;
    std::function<void(qint64)> m_afterWrite;
};

// A device that accepts nothing: every write returns 0, and after many
// attempts -1, so a writer that keeps trying shows up as a count, not a hang.
class RefusingDevice final : public QIODevice {
public:
    int writes = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return ++writes < 1000 ? 0 : -1; }
};

class BankWriterClass : public ::testing::Test {
protected:
    // a (banked), big (external at open, its wave file beside), c (banked).
    void SetUp() override {
        BankBuilder b;
        b.bank = 1;
        b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(3000, 1), true);
        b.AddSample(2, QStringLiteral("big.wav"), BankBuilder::Pattern(kBig, 2), false);
        b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(5000, 3), true);
        original = b.Build();
        bankPath = folder.Write(QStringLiteral("Bnk_1.bnm"), original);
        folder.Write(QStringLiteral("a.wav"), BankBuilder::Wave(BankBuilder::Pattern(3000, 1)));
        folder.Write(QStringLiteral("big.wav"), BankBuilder::Wave(BankBuilder::Pattern(kBig, 2)));
        folder.Write(QStringLiteral("c.wav"), BankBuilder::Wave(BankBuilder::Pattern(5000, 3)));
        CResult<BankImage> read = CBankReader::Read(original, bankPath);
        ASSERT_TRUE(read);
        image = std::move(read.Value());
        const qint64 data = image.header->sampleDataOffset;
        extraction = {{SampleExtraction::State::Written, data, 3000},
                      {},
                      {SampleExtraction::State::Written, data + 3000, 5000}};
    }
    CBankWriter::Bank Bank() {
        CBankWriter::Bank bank;
        bank.image = image.data.get();
        bank.imageSize = image.size;
        bank.regionSize = image.regionSize;
        bank.header = image.header;
        bank.resources = {image.resources, static_cast<size_t>(image.resourceCount)};
        bank.extraction = extraction;
        bank.folder = folder.Path() + QLatin1Char('/');
        return bank;
    }
    SoundResource& Record(int index) { return image.resources[index]; }
    // Cuts big.wav to its header and half of its data once the writer has put
    // down its first piece.
    std::function<void(qint64)> ShrinkBigAfterItsFirstPiece() {
        return [this](qint64 count) {
            if (count == qint64{1} << 20 && !shrunk) {
                shrunk = true;
                QFile wave(folder.FilePath(QStringLiteral("big.wav")));
                ASSERT_TRUE(wave.resize(44 + kBig / 2));
            }
        };
    }

    TestFolder folder;
    RecordingPromptSink prompts;
    RecordingProgressSink progress;
    QByteArray original;
    QString bankPath;
    BankImage image;
    std::vector<SampleExtraction> extraction;
    bool shrunk = false;
};

TEST_F(BankWriterClass, PacksTheBankedSamplesAndDescribesThemInTheHeaderRegion) {
    Record(1).storage = SoundResource::kStorageBank;
    CBankWriter writer(Bank(), progress);
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::ReadWrite));
    CDeviceBankOutput output(buffer, QStringLiteral("memory"));
    ASSERT_TRUE(writer.Write(output));

    const QByteArray saved = buffer.data();
    const qint64 data = image.header->sampleDataOffset;
    EXPECT_EQ(saved.size(), data + 3000 + kBig + 5000);
    EXPECT_EQ(image.header->fileLength, static_cast<quint32>(saved.size()));
    EXPECT_EQ(saved.first(image.regionSize),
              QByteArray(reinterpret_cast<const char*>(image.data.get()), image.regionSize));
    EXPECT_EQ(Record(1).offset, 3000);
    EXPECT_EQ(Record(2).offset, 3000 + kBig);
    EXPECT_EQ(saved.mid(data + Record(1).offset, kBig), BankBuilder::Pattern(kBig, 2));
    EXPECT_EQ(saved.mid(data + Record(2).offset), BankBuilder::Pattern(5000, 3));
    EXPECT_TRUE(writer.Unstored().isEmpty());
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// The sample that gives way was never in the bank, so the save goes on
// without it: the bank must end where the last stored sample ends, whether
// the broken one came last (its bytes would trail past the end) or between
// others (the next one must overwrite them).
TEST_F(BankWriterClass, WaveShrinkingHalfWayLeavesNoBytesOfItInTheSavedBank) {
    for (const bool last : {true, false}) {
        SetUp();
        shrunk = false;
        Record(1).storage = SoundResource::kStorageBank;
        if (last) {
            std::swap(Record(1), Record(2));
            std::swap(extraction[1], extraction[2]);
        }
        const int bigIndex = last ? 2 : 1;
        const int cIndex = last ? 1 : 2;
        CBankWriter writer(Bank(), progress);
        CFile file;
        ASSERT_TRUE(file.Open(bankPath, CFile::modeCreate | CFile::modeWrite));
        CFileBankOutput fileOutput(file);
        WatchedOutput output(fileOutput, ShrinkBigAfterItsFirstPiece());
        ASSERT_TRUE(writer.Write(output));
        file.Commit();
        file.Close();
        ASSERT_TRUE(shrunk);

        const QByteArray saved = folder.Read(QStringLiteral("Bnk_1.bnm"));
        const qint64 data = image.header->sampleDataOffset;
        EXPECT_EQ(writer.Unstored(), QStringList{QStringLiteral("big.wav")}) << last;
        EXPECT_EQ(Record(bigIndex).storage, SoundResource::kStorageExternal);
        EXPECT_EQ(Record(bigIndex).offset, SoundResource::kExternalOffset);
        EXPECT_EQ(saved.size(), data + 3000 + 5000) << last;
        EXPECT_EQ(image.header->fileLength, static_cast<quint32>(saved.size()));
        EXPECT_EQ(saved.mid(data + Record(0).offset, 3000), BankBuilder::Pattern(3000, 1));
        EXPECT_EQ(saved.mid(data + Record(cIndex).offset, 5000), BankBuilder::Pattern(5000, 3));
    }
}

// Here the bank holds the only copy of the sample whose wave gives way: the
// save is refused, naming it, and the bank on disk stays as it was.
TEST_F(BankWriterClass, WaveShrinkingHalfWayWhenTheBankHoldsTheOnlyCopyRefusesTheSave) {
    Record(1).storage = SoundResource::kStorageBank;
    extraction[1] = {SampleExtraction::State::Written, image.header->sampleDataOffset, kBig};
    CBankWriter writer(Bank(), progress);
    CFile file;
    ASSERT_TRUE(file.Open(bankPath, CFile::modeCreate | CFile::modeWrite));
    CFileBankOutput fileOutput(file);
    WatchedOutput output(fileOutput, ShrinkBigAfterItsFirstPiece());
    const CResult<void> written = writer.Write(output);
    ASSERT_FALSE(written) << "the save went through";
    EXPECT_TRUE(written.Error().text.contains(QStringLiteral("Couldn't store big.wav: ")))
        << written.Error().text.toStdString();
    file.Abort();
    EXPECT_TRUE(shrunk);
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), original);
}

TEST_F(BankWriterClass, AnOutputThatTakesNoBytesFailsTheWriteAtOnce) {
    RefusingDevice device;
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    CBankWriter writer(Bank(), progress);
    CDeviceBankOutput output(device, QStringLiteral("/nowhere/Bnk_1.bnm"));
    const CResult<void> written = writer.Write(output);
    ASSERT_FALSE(written) << "the write went through";
    EXPECT_TRUE(written.Error().text.startsWith(
        QStringLiteral("Disk full while accessing /nowhere/Bnk_1.bnm.")))
        << written.Error().text.toStdString();
    EXPECT_EQ(device.writes, 1);
}

} // namespace
