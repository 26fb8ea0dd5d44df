// The sound exporter: what each sample's file is called, what other programs
// read in the files it writes, where the data comes from, and that a file
// that cannot be written whole, or that would replace one nobody said to
// replace, is not there under its name.
#include "BankBuilder.h"
#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "RecordingProgressSink.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"
#include "TestMount.h"

#include "doc/CKantelDoc.h"
#include "format/CBankReader.h"
#include "format/CBnmFormat.h"
#include "format/CNamesFileReader.h"
#include "format/CSoundExporter.h"
#include "framework/core/AfxMessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <memory>
#include <vector>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

ProcessRun runProcess(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

quint32 get32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

struct Chunk {
    QByteArray id;
    qsizetype body = 0;
    quint32 size = 0;
};

// The chunks of a RIFF WAVE file, walked by hand. Fails the test unless the
// RIFF size is the file's, every odd chunk has its pad byte and nothing is
// left over.
std::vector<Chunk> riffChunks(const QByteArray& file) {
    std::vector<Chunk> chunks;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        ADD_FAILURE() << "not RIFF WAVE";
        return chunks;
    }
    EXPECT_EQ(get32(file, 4), static_cast<quint32>(file.size() - 8)) << "RIFF size";
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        Chunk chunk{file.mid(at, 4), at + 8, get32(file, at + 4)};
        chunks.push_back(chunk);
        at = chunk.body + chunk.size + (chunk.size & 1U);
    }
    EXPECT_EQ(at, file.size()) << "chunks do not end where the file does";
    return chunks;
}

const Chunk* findChunk(const std::vector<Chunk>& chunks, const char* id) {
    for (const Chunk& chunk : chunks) {
        if (chunk.id == id) {
            return &chunk;
        }
    }
    return nullptr;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SoundExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(folder.Path()).mkpath(QStringLiteral("bank")));
        ASSERT_TRUE(QDir(folder.Path()).mkpath(QStringLiteral("out")));
    }

    QString BankFolder() const { return folder.FilePath(QStringLiteral("bank")); }
    QString Out() const { return folder.FilePath(QStringLiteral("out")); }
    QString OutFile(const QString& name) const { return Out() + QLatin1Char('/') + name; }

    // Writes the bank and, when lines are given, its names file (one line
    // per table position) into bank/, then reads both as kantel-cli does.
    void Load(const BankBuilder& builder, const QStringList& nameLines = {}) {
        bankPath = BankFolder() + QStringLiteral("/Bnk_1.bnm");
        const QByteArray bytes = builder.Build();
        QFile bank(bankPath);
        ASSERT_TRUE(bank.open(QIODevice::WriteOnly) && bank.write(bytes) == bytes.size());
        bank.close();
        if (!nameLines.isEmpty()) {
            QFile namesFile(BankFolder() + QStringLiteral("/Bnk_1.bns"));
            const QByteArray text = (QStringLiteral("[body res]\n") +
                                     nameLines.join(QLatin1Char('\n')) + QLatin1Char('\n'))
                                        .toLatin1();
            ASSERT_TRUE(namesFile.open(QIODevice::WriteOnly) &&
                        namesFile.write(text) == text.size());
        }
        CResult<BankImage> read = CBankReader::Read(bytes, bankPath);
        ASSERT_TRUE(read.Ok());
        image = std::move(read.Value());
        CResult<NamesTable> readNames = CNamesFileReader::ReadBeside(bankPath, image.resourceCount);
        if (readNames) {
            names = std::move(readNames.Value());
        }
    }

    CSoundExporter Exporter() const {
        const CBankRecords records(image.header,
                                   {image.resources, static_cast<size_t>(image.resourceCount)},
                                   {image.events, static_cast<size_t>(image.eventCount)},
                                   image.bank, names.names.get(), &names.firstOfId);
        const QByteArrayView bytes(reinterpret_cast<const char*>(image.data.get()),
                                   static_cast<qsizetype>(image.size));
        return CSoundExporter({records, BankFolder() + QLatin1Char('/'),
                               QStringLiteral("Bnk_1.bnm"), [this, bytes](int index) {
                                   return CSoundExporter::RecordedData(bytes, *image.header,
                                                                       image.resources[index]);
                               }});
    }

    // Every sample (or the one at index) into out/, replacing what is there
    // only when told to.
    CSoundExporter::Report Export(bool overwrite = false, int index = -1) {
        const CSoundExporter exporter = Exporter();
        std::vector<CSoundExporter::Target> targets = exporter.Plan(Out(), index);
        for (CSoundExporter::Target& target : targets) {
            target.overwrite = overwrite;
        }
        return exporter.Export(Out(), targets, progress);
    }

    static QStringList FailureTexts(const CSoundExporter::Report& report) {
        QStringList texts;
        for (const CSoundExporter::Failure& failure : report.failures) {
            texts.append(failure.text);
        }
        return texts;
    }

    // Only finished files, no temporary, are left in out/.
    void ExpectOnlyFiles(const QStringList& names) const {
        QStringList expected = names;
        expected.sort();
        EXPECT_EQ(QDir(Out()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                            QDir::NoDotAndDotDot,
                                        QDir::Name),
                  expected);
    }

    TestFolder folder;
    RecordingProgressSink progress;
    QString bankPath;
    BankImage image;
    NamesTable names;
};

// Wave files by sox and ffmpeg, and sox reading what the exporter wrote.
class SoundExporterAudio : public SoundExporterTest {
protected:
    void SetUp() override {
        SoundExporterTest::SetUp();
        m_sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
        m_soxi = QStandardPaths::findExecutable(QStringLiteral("soxi"));
        m_ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (m_sox.isEmpty() || m_soxi.isEmpty() || m_ffmpeg.isEmpty()) {
            GTEST_SKIP() << "sox, soxi and ffmpeg are needed";
        }
    }

    // frames of a tone as sox writes them into path.
    void SoxWave(const QString& path, int rate, int channels, int bits, int frames) const {
        const ProcessRun run =
            runProcess(m_sox, {QStringLiteral("-r"), QString::number(rate), QStringLiteral("-n"),
                               QStringLiteral("-r"), QString::number(rate), QStringLiteral("-c"),
                               QString::number(channels), QStringLiteral("-b"),
                               QString::number(bits), QStringLiteral("-e"),
                               bits == 8 ? QStringLiteral("unsigned-integer")
                                         : QStringLiteral("signed-integer"),
                               path, QStringLiteral("synth"), QStringLiteral("%1s").arg(frames),
                               QStringLiteral("sine"), QStringLiteral("300-900")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }

    // The same tone through ffmpeg, which puts a LIST chunk before the data.
    void FfmpegWave(const QString& path, int rate, int channels, int frames) const {
        const QString plain = path + QStringLiteral(".sox.wav");
        SoxWave(plain, rate, channels, 16, frames);
        const ProcessRun run =
            runProcess(m_ffmpeg, {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                                  QStringLiteral("error"), QStringLiteral("-y"),
                                  QStringLiteral("-i"), plain, path});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        QFile::remove(plain);
        ASSERT_EQ(readFile(path).mid(36, 4), QByteArray("LIST"));
    }

    // The sample data of a wave file as sox decodes it, in the file's own
    // encoding; sox must have nothing to complain about.
    QByteArray SoxData(const QString& path) const {
        const ProcessRun run = runProcess(m_sox, {QStringLiteral("-V2"), path, QStringLiteral("-t"),
                                                  QStringLiteral("raw"), QStringLiteral("-")});
        EXPECT_EQ(run.exitCode, 0) << path.toStdString() << ": " << run.err.toStdString();
        EXPECT_EQ(run.err, QString()) << path.toStdString();
        return run.out;
    }

    // One figure soxi gives for path: -r rate, -c channels, -b bits, -s samples.
    qint64 Soxi(const QString& path, const char* option) const {
        const ProcessRun run = runProcess(m_soxi, {QString::fromLatin1(option), path});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QString::fromLatin1(run.out).trimmed().toLongLong();
    }

private:
    QString m_sox;
    QString m_soxi;
    QString m_ffmpeg;
};

} // namespace

// --- Names ----------------------------------------------------------------------

TEST_F(SoundExporterTest, NamesComeFromTheNamesFileThenTheRecordThenTheId) {
    BankBuilder b;
    b.bank = 1;
    const QByteArray data = BankBuilder::Pattern(20, 1);
    b.AddSample(1, QStringLiteral("h.wav"), data, true);
    b.AddSample(0x20002, QStringLiteral("x.wav"), data, true); // named by its low 16 bits
    b.AddSample(3, QStringLiteral("skid.WAV"), data, true);
    b.AddSample(4, QString(), data, true);
    b.AddSample(5, QStringLiteral("Bnk_1.bnm"), data, true); // the bank's own name is none
    b.AddCdTrack(6, 2);
    b.AddSample(7, QStringLiteral("y.wav"), data, true);
    b.AddSample(8, QStringLiteral("z.wav"), data, true);
    b.AddSample(9, QStringLiteral("w.wav"), data, true);
    b.AddSample(10, QStringLiteral("   "), data, true);
    Load(b, {QStringLiteral("1 \"Horn\" \"\""), QStringLiteral("2 \"Siren.WAV\" \"\""),
             QStringLiteral("3 \"\" \"\""), QStringLiteral("4 \" \""), QStringLiteral("5 \" \""),
             QStringLiteral("6 \"Track\" \"\""),
             QStringLiteral("7 \"a/b\\c\x01"
                            "d\" \"\""),
             QStringLiteral("8 \".hidden\" \"\""), QStringLiteral("9 \"  \" \"\""),
             QStringLiteral("10 \" \"")});
    const CSoundExporter exporter = Exporter();
    const QStringList expected = {QStringLiteral("Horn.wav"),     QStringLiteral("Siren.wav"),
                                  QStringLiteral("skid.wav"),     QStringLiteral("Res00004.wav"),
                                  QStringLiteral("Res00005.wav"), QString(),
                                  QStringLiteral("a_b_c_d.wav"),  QStringLiteral("_hidden.wav"),
                                  QStringLiteral("w.wav"),        QStringLiteral("Res00010.wav")};
    QStringList got;
    for (int i = 0; i < static_cast<int>(expected.size()); ++i) {
        got.append(exporter.FileNameOf(i));
    }
    EXPECT_EQ(got, expected);

    // The CD track is no sample: neither planned nor written.
    const std::vector<CSoundExporter::Target> plan = exporter.Plan(Out());
    ASSERT_EQ(plan.size(), 9U);
    EXPECT_EQ(plan[5].index, 6);
    EXPECT_TRUE(exporter.Plan(Out(), 5).empty());
    const CSoundExporter::Report report = Export();
    EXPECT_EQ(FailureTexts(report), QStringList());
    QStringList written = expected;
    written.removeAll(QString());
    ExpectOnlyFiles(written);
}

TEST_F(SoundExporterTest, SamplesSharingANameGetNumbersThatNoSampleHasAsItsOwn) {
    BankBuilder b;
    for (int i = 0; i < 5; ++i) {
        b.AddSample(i + 1, QStringLiteral("s%1.wav").arg(i), BankBuilder::Pattern(10 + i, i), true);
    }
    // Names that differ only in case collide too: the folder may be on a
    // file system that ignores case, as the one the bank was made on did.
    Load(b, {QStringLiteral("1 \"Horn\""), QStringLiteral("2 \"horn\""),
             QStringLiteral("3 \"Horn (2)\""), QStringLiteral("4 \"Horn\""),
             QStringLiteral("5 \"Gear\"")});
    const CSoundExporter exporter = Exporter();
    const QStringList expected = {QStringLiteral("Horn.wav"), QStringLiteral("horn (3).wav"),
                                  QStringLiteral("Horn (2).wav"), QStringLiteral("Horn (4).wav"),
                                  QStringLiteral("Gear.wav")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(exporter.FileNameOf(i), expected[i]) << i;
    }
    // Alone, a sample keeps the name it has among all of them.
    const std::vector<CSoundExporter::Target> one = exporter.Plan(Out(), 3);
    ASSERT_EQ(one.size(), 1U);
    EXPECT_EQ(one[0].name, QStringLiteral("Horn (4).wav"));

    const CSoundExporter::Report report = Export();
    EXPECT_EQ(FailureTexts(report), QStringList());
    ExpectOnlyFiles(expected);
    for (int i = 0; i < 5; ++i) {
        // Odd lengths end in the pad byte.
        const QByteArray file = readFile(OutFile(expected[i]));
        EXPECT_EQ(file.mid(44, 10 + i), BankBuilder::Pattern(10 + i, i)) << i;
        EXPECT_EQ(file.size(), 44 + 10 + i + (i & 1)) << i;
    }
}

// --- What other programs read ------------------------------------------------------

TEST_F(SoundExporterAudio, SoxReadsTheRecordsFormatAndTheSamplesData) {
    struct Case {
        int rate;
        int channels;
        int bits;
        int frames;
        bool fromFfmpeg;
    };
    // Odd data lengths need the pad byte; sox writes 24 bits in the
    // extensible form, ffmpeg a LIST chunk before the data.
    const Case cases[] = {
        {11025, 1, 8, 1001, false}, {22050, 2, 16, 700, false}, {48000, 1, 24, 333, false},
        {8000, 2, 32, 50, false},   {44100, 2, 16, 513, true},  {22050, 1, 16, 1, true},
    };
    BankBuilder b;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        const QString name = QStringLiteral("in%1.wav").arg(i);
        const QString path = BankFolder() + QLatin1Char('/') + name;
        if (c.fromFfmpeg) {
            FfmpegWave(path, c.rate, c.channels, c.frames);
        } else {
            SoxWave(path, c.rate, c.channels, c.bits, c.frames);
        }
        const QByteArray data = SoxData(path);
        ASSERT_EQ(data.size(), qint64{c.frames} * c.channels * c.bits / 8);
        // External: the data comes from the wave file, whatever its chunks.
        b.AddSample(i + 1, name, data, false, c.rate, static_cast<quint16>(c.bits),
                    static_cast<quint16>(c.channels));
    }
    Load(b);
    const CSoundExporter::Report report = Export();
    ASSERT_EQ(FailureTexts(report), QStringList());
    ASSERT_EQ(report.written.size(), static_cast<qsizetype>(std::size(cases)));
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, "
                                        << c.bits << " bits, " << c.frames << " frames");
        const QString out = report.written[i];
        EXPECT_EQ(Soxi(out, "-r"), c.rate);
        EXPECT_EQ(Soxi(out, "-c"), c.channels);
        EXPECT_EQ(Soxi(out, "-b"), c.bits);
        EXPECT_EQ(Soxi(out, "-s"), c.frames);
        EXPECT_EQ(SoxData(out), SoxData(BankFolder() + QStringLiteral("/in%1.wav").arg(i)));
        const std::vector<Chunk> chunks = riffChunks(readFile(out));
        ASSERT_EQ(chunks.size(), 2U);
        EXPECT_EQ(chunks[0].id, QByteArray("fmt "));
        EXPECT_EQ(chunks[1].id, QByteArray("data"));
    }
}

TEST_F(SoundExporterAudio, ABankedSampleWithoutAWaveFileComesFromTheBank) {
    const QString made = folder.FilePath(QStringLiteral("made.wav"));
    SoxWave(made, 22050, 1, 16, 400);
    const QByteArray tone = SoxData(made);
    const QByteArray other = BankBuilder::Pattern(600, 9);
    BankBuilder b;
    b.AddSample(1, QStringLiteral("gone.wav"), tone, true);
    b.AddSample(2, QString(), BankBuilder::Pattern(100, 2), true);
    // A banked sample whose wave file is there plays from that file, and
    // is exported from it.
    b.AddSample(3, QStringLiteral("here.wav"), BankBuilder::Pattern(50, 3), true);
    b.AddSample(4, QStringLiteral("ext.wav"), other, false);
    ASSERT_TRUE(QFile::copy(made, BankFolder() + QStringLiteral("/here.wav")));
    Load(b, {QStringLiteral("1 \"Tone\""), QStringLiteral("2 \"Noise\""),
             QStringLiteral("3 \"Here\""), QStringLiteral("4 \"Ext\"")});
    const CSoundExporter::Report report = Export();

    EXPECT_EQ(SoxData(OutFile(QStringLiteral("Tone.wav"))), tone);
    EXPECT_EQ(readFile(OutFile(QStringLiteral("Noise.wav"))).mid(44), BankBuilder::Pattern(100, 2));
    EXPECT_EQ(SoxData(OutFile(QStringLiteral("Here.wav"))), tone);
    // An external sample has no copy in the bank.
    ASSERT_EQ(report.failures.size(), 1U);
    EXPECT_EQ(report.failures[0].path, OutFile(QStringLiteral("Ext.wav")));
    EXPECT_EQ(report.failures[0].text, QStringLiteral("%1 was not written: %2 was not found.")
                                           .arg(OutFile(QStringLiteral("Ext.wav")),
                                                BankFolder() + QStringLiteral("/ext.wav")));
    ExpectOnlyFiles(
        {QStringLiteral("Here.wav"), QStringLiteral("Noise.wav"), QStringLiteral("Tone.wav")});
    // Nothing is written beside the bank.
    EXPECT_EQ(QDir(BankFolder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("Bnk_1.bns"),
                           QStringLiteral("here.wav")}));
}

// The record counts its loop in bytes; the sampler chunk in frames, up to and
// including its last one.
TEST_F(SoundExporterAudio, ALoopBecomesOneForwardLoopInFramesAfterTheData) {
    struct Case {
        int rate;
        int channels;
        int bits;
        int frames;
        qint32 loopStart;
        qint32 loopLength;
        bool sampler;
        quint32 first;
        quint32 last;
    };
    const Case cases[] = {
        // 4-byte frames: bytes 400 to 1599 are frames 100 to 399.
        {22050, 2, 16, 1000, 400, 1200, true, 100, 399},
        // Odd data: the pad byte comes between the data and the chunk.
        {11025, 1, 8, 777, 1, 700, true, 1, 700},
        // Cut to the data; bytes that make no whole frame are dropped.
        {44100, 1, 16, 300, 3, 100000, true, 1, 299},
        // Nothing whole is left: no loop at all.
        {22050, 2, 16, 100, 0, 3, false, 0, 0},
        {22050, 1, 16, 100, 500, 100, false, 0, 0},
    };
    BankBuilder b;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        const QString made = folder.FilePath(QStringLiteral("made%1.wav").arg(i));
        SoxWave(made, c.rate, c.channels, c.bits, c.frames);
        SoundResource& r =
            b.AddSample(i + 1, QStringLiteral("l%1.wav").arg(i), SoxData(made), true, c.rate,
                        static_cast<quint16>(c.bits), static_cast<quint16>(c.channels));
        r.looped = 1;
        r.loopStart = c.loopStart;
        r.loopLength = c.loopLength;
    }
    // Not looped: no chunk, whatever the loop fields say.
    b.AddSample(99, QStringLiteral("n.wav"), BankBuilder::Pattern(64, 1), true).loopLength = 32;
    Load(b);
    const CSoundExporter::Report report = Export();
    ASSERT_EQ(FailureTexts(report), QStringList());
    ASSERT_EQ(report.written.size(), static_cast<qsizetype>(std::size(cases)) + 1);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i);
        const QByteArray file = readFile(report.written[i]);
        const std::vector<Chunk> chunks = riffChunks(file);
        EXPECT_EQ(Soxi(report.written[i], "-s"), c.frames);
        EXPECT_EQ(SoxData(report.written[i]),
                  SoxData(folder.FilePath(QStringLiteral("made%1.wav").arg(i))));
        const Chunk* sampler = findChunk(chunks, "smpl");
        ASSERT_EQ(sampler != nullptr, c.sampler);
        if (!c.sampler) {
            EXPECT_EQ(chunks.size(), 2U);
            continue;
        }
        ASSERT_EQ(chunks.size(), 3U);
        EXPECT_EQ(chunks[1].id, QByteArray("data"));
        EXPECT_EQ(chunks[2].id, QByteArray("smpl"));
        ASSERT_EQ(sampler->size, 60U);
        const qsizetype at = sampler->body;
        EXPECT_EQ(get32(file, at + 8), 1000000000U / static_cast<quint32>(c.rate)) << "period";
        EXPECT_EQ(get32(file, at + 12), 60U) << "unity note";
        EXPECT_EQ(get32(file, at + 28), 1U) << "loops";
        EXPECT_EQ(get32(file, at + 32), 0U) << "sampler data";
        EXPECT_EQ(get32(file, at + 36 + 4), 0U) << "forward";
        EXPECT_EQ(get32(file, at + 36 + 8), c.first);
        EXPECT_EQ(get32(file, at + 36 + 12), c.last);
        EXPECT_EQ(get32(file, at + 36 + 20), 0U) << "for ever";
    }
    EXPECT_EQ(riffChunks(readFile(report.written.back())).size(), 2U);
}

TEST_F(SoundExporterTest, FormatsNoWaveFileCanHaveAreRefusedByName) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true, 22050, 12, 1);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(10, 2), true, 22050, 16, 0);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(10, 3), true, 0, 16, 1);
    b.AddSample(4, QStringLiteral("d.wav"), BankBuilder::Pattern(10, 4), true, 22050, 16, 1);
    Load(b);
    const CSoundExporter::Report report = Export();
    ASSERT_EQ(report.failures.size(), 3U);
    EXPECT_EQ(report.failures[0].text,
              QStringLiteral("%1 was not written: its record's format (22050 Hz, 12 bits, 1 "
                             "channel) is none a wave file can have.")
                  .arg(OutFile(QStringLiteral("a.wav"))));
    EXPECT_EQ(report.failures[1].path, OutFile(QStringLiteral("b.wav")));
    EXPECT_EQ(report.failures[2].path, OutFile(QStringLiteral("c.wav")));
    ExpectOnlyFiles({QStringLiteral("d.wav")});
}

// --- Files that are there already --------------------------------------------------

TEST_F(SoundExporterTest, WhatHasATargetsNameStaysUnlessTheCallerSaysToReplaceIt) {
    BankBuilder b;
    for (int i = 0; i < 5; ++i) {
        b.AddSample(i + 1, QStringLiteral("s%1.wav").arg(i), BankBuilder::Pattern(30, i), true);
    }
    Load(b);
    const QString outside = folder.Write(QStringLiteral("outside.txt"), "keep me");
    folder.Write(QStringLiteral("out/s0.wav"), "old");
    ASSERT_TRUE(QFile::link(outside, OutFile(QStringLiteral("s1.wav"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(OutFile(QStringLiteral("s2.wav"))).constData(), 0644), 0);
    ASSERT_TRUE(QDir(Out()).mkdir(QStringLiteral("s3.wav")));
    ASSERT_TRUE(
        QFile::link(folder.FilePath(QStringLiteral("nowhere")), OutFile(QStringLiteral("s4.wav"))));

    const std::vector<CSoundExporter::Target> plan = Exporter().Plan(Out());
    ASSERT_EQ(plan.size(), 5U);
    // A folder cannot be replaced, so nobody is asked about it; a dangling
    // link has the name as much as a file does.
    EXPECT_EQ((std::vector<bool>{plan[0].exists, plan[1].exists, plan[2].exists, plan[3].exists,
                                 plan[4].exists}),
              (std::vector<bool>{true, true, true, false, true}));

    CSoundExporter::Report report = Export();
    EXPECT_EQ(report.skipped,
              (QStringList{OutFile(QStringLiteral("s0.wav")), OutFile(QStringLiteral("s1.wav")),
                           OutFile(QStringLiteral("s2.wav")), OutFile(QStringLiteral("s4.wav"))}));
    EXPECT_TRUE(report.written.isEmpty());
    ASSERT_EQ(report.failures.size(), 1U);
    EXPECT_EQ(report.failures[0].path, OutFile(QStringLiteral("s3.wav")));
    EXPECT_TRUE(report.failures[0].text.contains(OutFile(QStringLiteral("s3.wav"))))
        << report.failures[0].text.toStdString();
    EXPECT_EQ(folder.Read(QStringLiteral("out/s0.wav")), QByteArray("old"));
    EXPECT_TRUE(QFileInfo(OutFile(QStringLiteral("s1.wav"))).isSymLink());
    struct stat status {};
    ASSERT_EQ(::lstat(QFile::encodeName(OutFile(QStringLiteral("s2.wav"))).constData(), &status),
              0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // Replaced, each entry itself: the link goes, the file it points to stays.
    report = Export(true);
    EXPECT_EQ(report.written.size(), 4);
    ASSERT_EQ(report.failures.size(), 1U);
    EXPECT_EQ(report.failures[0].path, OutFile(QStringLiteral("s3.wav")));
    for (const int i : {0, 1, 2, 4}) {
        const QString path = OutFile(QStringLiteral("s%1.wav").arg(i));
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode)) << i;
        EXPECT_EQ(readFile(path).mid(44), BankBuilder::Pattern(30, i)) << i;
    }
    EXPECT_EQ(readFile(outside), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo::exists(folder.FilePath(QStringLiteral("nowhere"))));
    ExpectOnlyFiles({QStringLiteral("s0.wav"), QStringLiteral("s1.wav"), QStringLiteral("s2.wav"),
                     QStringLiteral("s3.wav"), QStringLiteral("s4.wav")});
}

// Beside the bank, a file a record names holds that sample's data; replacing
// it, even when told to, would lose the data or change what the bank finds.
TEST_F(SoundExporterTest, TheBanksOwnWaveFilesAreNeverReplaced) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("horn.wav"), BankBuilder::Pattern(30, 1), false);
    b.AddSample(2, QStringLiteral("gear.wav"), BankBuilder::Pattern(30, 2), false);
    b.AddSample(3, QStringLiteral("beep.wav"), BankBuilder::Pattern(30, 3), true);
    folder.Write(QStringLiteral("bank/horn.wav"), BankBuilder::Wave(BankBuilder::Pattern(30, 1)));
    folder.Write(QStringLiteral("bank/gear.wav"), BankBuilder::Wave(BankBuilder::Pattern(30, 2)));
    // Gear's name is Horn's file name; Beep's differs from its own in case.
    Load(b, {QStringLiteral("1 \"Klaxon\""), QStringLiteral("2 \"Horn\""),
             QStringLiteral("3 \"Beep\"")});
    const QStringList before = QDir(BankFolder()).entryList(QDir::Files);
    const CSoundExporter exporter = Exporter();
    std::vector<CSoundExporter::Target> plan = exporter.Plan(BankFolder());
    ASSERT_EQ(plan.size(), 3U);
    for (CSoundExporter::Target& target : plan) {
        EXPECT_FALSE(target.exists) << "nobody is asked about them";
        target.overwrite = true;
    }
    const CSoundExporter::Report report = exporter.Export(BankFolder(), plan, progress);
    EXPECT_EQ(report.written, QStringList{BankFolder() + QStringLiteral("/Klaxon.wav")});
    EXPECT_EQ(FailureTexts(report),
              (QStringList{QStringLiteral("%1/Horn.wav was not written: the bank keeps a sample's "
                                          "data in a wave file of that name.")
                               .arg(BankFolder()),
                           QStringLiteral("%1/Beep.wav was not written: the bank keeps a sample's "
                                          "data in a wave file of that name.")
                               .arg(BankFolder())}));
    EXPECT_EQ(folder.Read(QStringLiteral("bank/horn.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(30, 1)));
    QStringList after = before;
    after.append(QStringLiteral("Klaxon.wav"));
    after.sort();
    EXPECT_EQ(QDir(BankFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), after);
}

TEST_F(SoundExporterTest, AFileThatAppearsAfterThePlanIsNeverReplaced) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(30, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(30, 2), true);
    Load(b);
    const CSoundExporter exporter = Exporter();
    const std::vector<CSoundExporter::Target> plan = exporter.Plan(Out());
    ASSERT_FALSE(plan[1].exists);
    folder.Write(QStringLiteral("out/b.wav"), "someone else's");
    const CSoundExporter::Report report = exporter.Export(Out(), plan, progress);
    EXPECT_EQ(report.written, QStringList{OutFile(QStringLiteral("a.wav"))});
    ASSERT_EQ(report.failures.size(), 1U);
    EXPECT_EQ(report.failures[0].path, OutFile(QStringLiteral("b.wav")));
    EXPECT_TRUE(report.failures[0].text.contains(QStringLiteral("File exists")))
        << report.failures[0].text.toStdString();
    EXPECT_EQ(folder.Read(QStringLiteral("out/b.wav")), QByteArray("someone else's"));
    ExpectOnlyFiles({QStringLiteral("a.wav"), QStringLiteral("b.wav")});
}

// --- Files that cannot be written ----------------------------------------------------

TEST_F(SoundExporterTest, AMissingFolderIsOneFailureNamingIt) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(30, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(30, 2), true);
    Load(b);
    const CSoundExporter exporter = Exporter();
    const QString missing = folder.FilePath(QStringLiteral("none"));
    const CSoundExporter::Report report =
        exporter.Export(missing, exporter.Plan(missing), progress);
    EXPECT_TRUE(report.written.isEmpty());
    EXPECT_EQ(
        FailureTexts(report),
        QStringList{
            QStringLiteral("The folder %1 does not exist; no sound was exported.").arg(missing)});
    const QString file = folder.Write(QStringLiteral("file"), "x");
    EXPECT_EQ(FailureTexts(exporter.Export(file, exporter.Plan(file), progress)),
              QStringList{QStringLiteral("%1 is not a folder; no sound was exported.").arg(file)});
}

TEST_F(SoundExporterTest, AFileSizeLimitFailsTheFilesPastItAndLeavesNoPartOfThem) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("small.wav"), BankBuilder::Pattern(1000, 1), true);
    b.AddSample(2, QStringLiteral("large.wav"), BankBuilder::Pattern(20000, 2), true);
    b.AddSample(3, QStringLiteral("also.wav"), BankBuilder::Pattern(2000, 3), true);
    Load(b);
    CSoundExporter::Report report;
    {
        const FileSizeLimit limit(8192);
        report = Export();
    }
    EXPECT_EQ(report.written, (QStringList{OutFile(QStringLiteral("small.wav")),
                                           OutFile(QStringLiteral("also.wav"))}));
    ASSERT_EQ(report.failures.size(), 1U);
    EXPECT_EQ(report.failures[0].text,
              QStringLiteral("Disk full while accessing %1. File too large.")
                  .arg(OutFile(QStringLiteral("large.wav"))));
    ExpectOnlyFiles({QStringLiteral("also.wav"), QStringLiteral("small.wav")});
}

TEST_F(SoundExporterTest, AFullDiskFailsEachFileThatDoesNotFitAndLeavesNoPartOfIt) {
    const QString disk = folder.FilePath(QStringLiteral("disk"));
    const std::unique_ptr<TestMount> mount = TestMount::Tmpfs(disk, 64);
    if (!mount) {
        GTEST_SKIP() << "needs root and mount";
    }
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(20000, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(30000, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(40000, 3), true);
    b.AddSample(4, QStringLiteral("d.wav"), BankBuilder::Pattern(3000, 4), true);
    Load(b);
    const CSoundExporter exporter = Exporter();
    const CSoundExporter::Report report = exporter.Export(disk, exporter.Plan(disk), progress);
    // 64 KiB hold a and b, not c; d fits in what is left.
    EXPECT_EQ(report.written,
              (QStringList{disk + QStringLiteral("/a.wav"), disk + QStringLiteral("/b.wav"),
                           disk + QStringLiteral("/d.wav")}));
    EXPECT_EQ(FailureTexts(report),
              QStringList{QStringLiteral("Disk full while accessing %1. No space left on device.")
                              .arg(disk + QStringLiteral("/c.wav"))});
    EXPECT_EQ(
        QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{QStringLiteral("a.wav"), QStringLiteral("b.wav"), QStringLiteral("d.wav")}));
}

TEST_F(SoundExporterTest, AReadOnlyFolderFailsEveryFileWithTheSystemsReason) {
    const QString disk = folder.FilePath(QStringLiteral("disk"));
    const std::unique_ptr<TestMount> mount = TestMount::Tmpfs(disk, 256);
    if (!mount || !mount->SetReadOnly(true)) {
        GTEST_SKIP() << "needs root and mount";
    }
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(200, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(300, 2), true);
    Load(b);
    const CSoundExporter exporter = Exporter();
    const CSoundExporter::Report report = exporter.Export(disk, exporter.Plan(disk), progress);
    mount->SetReadOnly(false);
    EXPECT_TRUE(report.written.isEmpty());
    EXPECT_EQ(FailureTexts(report),
              (QStringList{QStringLiteral("Access to %1 was denied. Read-only file system.")
                               .arg(disk + QStringLiteral("/a.wav")),
                           QStringLiteral("Access to %1 was denied. Read-only file system.")
                               .arg(disk + QStringLiteral("/b.wav"))}));
    EXPECT_TRUE(
        QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// --- Through the document: the questions and the one message -------------------------

class ExportSoundsCommand : public SoundExporterTest {
protected:
    CKantelDoc* OpenDoc(const BankBuilder& b, const QStringList& nameLines) {
        Load(b, nameLines);
        doc = std::make_unique<CKantelDoc>();
        EXPECT_TRUE(doc->OnOpenDocument(bankPath));
        doc->SetPathName(bankPath);
        prompts.prompts.clear();
        return doc.get();
    }

    // The caller's question about a file that is there: the paths asked
    // about, answered in turn from answers (Cancel once they run out).
    CKantelDoc::ReplaceQuestion Ask() {
        return [this](const QString& path) {
            asked.append(path);
            return answers.empty() ? CKantelDoc::ReplaceAnswer::Cancel : answers.takeFirst();
        };
    }

    RecordingPromptSink prompts;
    std::unique_ptr<CKantelDoc> doc;
    QStringList asked;
    QList<CKantelDoc::ReplaceAnswer> answers;
};

TEST_F(ExportSoundsCommand, AsksItsCallerAboutEachFileThereAndYesToAllAnswersForTheRest) {
    BankBuilder b;
    for (int i = 0; i < 5; ++i) {
        b.AddSample(i + 1, QStringLiteral("s%1.wav").arg(i), BankBuilder::Pattern(30, i), true);
    }
    OpenDoc(b, {});
    for (const int i : {0, 1, 3, 4}) {
        folder.Write(QStringLiteral("out/s%1.wav").arg(i), "old");
    }
    answers = {CKantelDoc::ReplaceAnswer::No, CKantelDoc::ReplaceAnswer::YesToAll};
    EXPECT_TRUE(doc->ExportSounds(Out(), -1, Ask()));
    EXPECT_EQ(asked,
              (QStringList{OutFile(QStringLiteral("s0.wav")), OutFile(QStringLiteral("s1.wav"))}));
    ASSERT_EQ(prompts.prompts.size(), 1);
    // Then how many were written and where: s0.wav stayed.
    EXPECT_EQ(prompts.prompts[0].text,
              QStringLiteral("4 wave files were written to %1.").arg(QDir::cleanPath(Out())));
    EXPECT_EQ(prompts.prompts[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(folder.Read(QStringLiteral("out/s0.wav")), QByteArray("old"));
    for (const int i : {1, 2, 3, 4}) {
        EXPECT_EQ(folder.Read(QStringLiteral("out/s%1.wav").arg(i)).mid(44),
                  BankBuilder::Pattern(30, i))
            << i;
    }

    // Cancel writes nothing at all, not even the files that were not there.
    QFile::remove(OutFile(QStringLiteral("s2.wav")));
    prompts.prompts.clear();
    asked.clear();
    answers = {CKantelDoc::ReplaceAnswer::Yes, CKantelDoc::ReplaceAnswer::Cancel};
    EXPECT_FALSE(doc->ExportSounds(Out(), -1, Ask()));
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(OutFile(QStringLiteral("s2.wav"))));
    EXPECT_EQ(folder.Read(QStringLiteral("out/s0.wav")), QByteArray("old"));
}

TEST_F(ExportSoundsCommand, FailuresAreToldInOneMessage) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(30, 1), true, 22050, 12, 1);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(30, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(30, 3), false);
    OpenDoc(b, {QStringLiteral("1 \"Odd\""), QStringLiteral("2 \"Fine\""),
                QStringLiteral("3 \"Gone\"")});
    EXPECT_FALSE(doc->ExportSounds(Out(), -1, Ask()));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].type, MB_OK | MB_ICONEXCLAMATION);
    const QStringList lines = prompts.prompts[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << prompts.prompts[0].text.toStdString();
    EXPECT_EQ(lines[3],
              QStringLiteral("1 wave file was written to %1.").arg(QDir::cleanPath(Out())));
    EXPECT_EQ(lines[0], QStringLiteral("2 of 3 sounds could not be exported:"));
    EXPECT_TRUE(lines[1].startsWith(OutFile(QStringLiteral("Odd.wav")))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(OutFile(QStringLiteral("Gone.wav")))) << lines[2].toStdString();
    ExpectOnlyFiles({QStringLiteral("Fine.wav")});

    // One sample alone.
    prompts.prompts.clear();
    EXPECT_FALSE(doc->ExportSounds(Out(), 2, Ask()));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(
        prompts.prompts[0].text.startsWith(QStringLiteral("The sound could not be exported:\n")));
}

// Opening wrote the wave files and noted where each sample lay in the bank. A
// storage change since moves the records' offsets but not the bank in memory,
// so a sample whose wave file went must still come out as itself.
TEST_F(ExportSoundsCommand, ABankedSampleWhoseWaveFileWentComesFromWhereOpeningFoundIt) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(300, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(500, 2), true);
    OpenDoc(b, {});
    ASSERT_TRUE(QFile::remove(BankFolder() + QStringLiteral("/b.wav")));
    SoundResource external = doc->Resources()[0];
    external.storage = SoundResource::kStorageExternal;
    ASSERT_TRUE(doc->ReplaceResource(0, doc->Resources()[0], external));
    ASSERT_EQ(doc->Resources()[1].offset, 0) << "the offsets moved";

    EXPECT_TRUE(doc->ExportSounds(Out(), -1, Ask()));
    EXPECT_EQ(prompts.Texts(),
              QStringList{
                  QStringLiteral("2 wave files were written to %1.").arg(QDir::cleanPath(Out()))});
    EXPECT_EQ(folder.Read(QStringLiteral("out/a.wav")).mid(44), BankBuilder::Pattern(300, 1));
    EXPECT_EQ(folder.Read(QStringLiteral("out/b.wav")).mid(44), BankBuilder::Pattern(500, 2));
    EXPECT_EQ(doc->GetExportFileName(1), QStringLiteral("b.wav"));
}
