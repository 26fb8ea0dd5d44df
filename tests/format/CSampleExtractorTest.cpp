// The sample extractor on its own: wave files written, what it has to say
// handed back in order, nothing shown.
#include "BankBuilder.h"
#include "RecordingProgressSink.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "format/CBankReader.h"
#include "format/CBnmFormat.h"
#include "format/CSampleExtractor.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Message = CSampleExtractor::Message;

class SampleExtractorClass : public ::testing::Test {
protected:
    // Reads bytes as the bank Bnk_1.bnm in the test folder.
    bool Read(const QByteArray& bytes) {
        const QString path = folder.Write(QStringLiteral("Bnk_1.bnm"), bytes);
        CResult<BankImage> read = CBankReader::Read(bytes, path);
        if (!read) {
            return false;
        }
        image = std::move(read.Value());
        bankPath = path;
        return true;
    }
    CSampleExtractor::Bank Bank(std::function<QString(int)> nameOf = {}) {
        CSampleExtractor::Bank bank;
        bank.image = image.data.get();
        bank.imageSize = image.size;
        bank.fileSize = image.size;
        bank.header = image.header;
        bank.resources = {image.resources, static_cast<size_t>(image.resourceCount)};
        bank.bank = image.bank;
        bank.folder = folder.Path() + QLatin1Char('/');
        bank.bankPath = bankPath;
        bank.nameOf = std::move(nameOf);
        return bank;
    }
    QString FileName(int index) const { return CBnmFormat::FileNameText(image.resources[index]); }

    TestFolder folder;
    RecordingPromptSink prompts;
    RecordingProgressSink progress;
    BankImage image;
    QString bankPath;
};

TEST_F(SampleExtractorClass, WritesMissingWavesAndNotesWhereEachSampleLay) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(300, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(40, 2), false);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(200, 3), true);
    ASSERT_TRUE(Read(b.Build()));
    const CSampleExtractor::Report report = CSampleExtractor(Bank(), progress).Extract();

    EXPECT_TRUE(report.messages.empty());
    EXPECT_FALSE(report.modified);
    EXPECT_EQ(report.unwritten, 0);
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(300, 1)));
    EXPECT_EQ(folder.Read(QStringLiteral("c.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(200, 3)));
    EXPECT_FALSE(folder.Exists(QStringLiteral("b.wav")));
    ASSERT_EQ(report.extraction.size(), 3U);
    const qint64 data = image.header->sampleDataOffset;
    EXPECT_EQ(report.extraction[0].state, SampleExtraction::State::Written);
    EXPECT_EQ(report.extraction[0].openedAt, data);
    EXPECT_EQ(report.extraction[0].openedLength, 300);
    EXPECT_EQ(report.extraction[1].state, SampleExtraction::State::None);
    EXPECT_EQ(report.extraction[2].openedAt, data + 300);
    EXPECT_EQ(progress.totals, QList<qint64>{500});
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(SampleExtractorClass, ProblemsComeBackAsMessagesInTheOrderTheyArose) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QString(), BankBuilder::Pattern(100, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(100, 3), true);
    QByteArray bytes = b.Build();
    bytes.chop(40); // c.wav's data runs past the end
    // A folder where a.wav would go: writing it fails.
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("a.wav")));
    ASSERT_TRUE(Read(bytes));
    const CSampleExtractor::Report report = CSampleExtractor(Bank(), progress).Extract();

    ASSERT_EQ(report.messages.size(), 2U);
    EXPECT_EQ(report.messages[0].kind, Message::Kind::Warning);
    EXPECT_EQ(
        report.messages[0].text,
        QStringLiteral("End of file reached.\nTruncating sample %1/c.wav").arg(folder.Path()));
    EXPECT_EQ(report.messages[1].kind, Message::Kind::Error);
    EXPECT_TRUE(report.messages[1].text.contains(
        QStringLiteral("The wave file was not written; the bank keeps its sample data.")))
        << report.messages[1].text.toStdString();
    EXPECT_TRUE(report.modified);
    EXPECT_EQ(image.resources[2].length, 60);
    EXPECT_EQ(FileName(1), QStringLiteral("Res00002.wav"));
    EXPECT_EQ(report.unwritten, 1);
    EXPECT_EQ(report.extraction[0].state, SampleExtraction::State::Failed);
    EXPECT_EQ(report.extraction[2].openedLength, 60);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(SampleExtractorClass, NameCandidatesComeInAFixedOrder) {
    BankBuilder b;
    b.bank = 3;
    b.AddSample(0x10007, QString(), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Read(b.Build()));
    const CSampleExtractor extractor(
        Bank([](int id) { return id == 7 ? QStringLiteral("a/very long name") : QString(); }),
        progress);
    QStringList asked;
    const auto refuseFirst = [&](int refusals) {
        asked.clear();
        return extractor.ChooseSampleName(0, [&](const QString& name) {
            asked << name;
            return asked.size() > refusals;
        });
    };
    // The names file's name, made safe and cut to fit with its extension.
    EXPECT_EQ(refuseFirst(0), QStringLiteral("a_very long.wav"));
    EXPECT_EQ(refuseFirst(4), QStringLiteral("K00000000.wav"));
    EXPECT_EQ(asked, (QStringList{"a_very long.wav", "Res00007.wav", "Bnk3_00007.wav", "Idx0.wav",
                                  "K00000000.wav"}));
}

} // namespace
