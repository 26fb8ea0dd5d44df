#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingProgressSink.h"
#include "RecordingPromptSink.h"
#include "SoundTools.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "format/CEbur128Library.h"
#include "format/CLoudnessMeter.h"
#include "format/CSndfileLibrary.h"
#include "format/CSoundImporter.h"
#include "format/CSoxrLibrary.h"
#include "format/CWaveReader.h"
#include "framework/core/CFolderListing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Format = CSoundImporter::Format;

class SoundImport : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SoundTools::Available()) {
            GTEST_SKIP() << "sox and ffmpeg are needed";
        }
        ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("bank")));
        bankFolder = folder.FilePath(QStringLiteral("bank")) + QLatin1Char('/');
        // A hanging open would stall the suite; let it fail the test instead.
        ::alarm(120);
    }
    void TearDown() override { ::alarm(0); }

    CResult<CSoundImporter::Imported> Import(const QString& source, Format target,
                                             bool keepRate = false) {
        CSoundImporter::Request request;
        request.source = source;
        request.folder = bankFolder;
        request.target = target;
        request.keepRate = keepRate;
        return CSoundImporter::Import(request, progress);
    }
    QString Source(const QString& name) const { return folder.FilePath(name); }
    QString Written(const CSoundImporter::Imported& imported) const {
        return bankFolder + imported.fileName;
    }
    // The written file is a plain PCM wave of exactly the reported format.
    void ExpectPlainWave(const CSoundImporter::Imported& imported) const {
        QFile file(Written(imported));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(bytes.size(), 44 + imported.dataLength);
        const CWaveReader::Info info = CWaveReader::Read(bytes);
        EXPECT_TRUE(info.wave);
        EXPECT_EQ(info.format.formatTag, CWaveReader::kFormatPcm);
        EXPECT_EQ(info.format.channels, imported.format.channels);
        EXPECT_EQ(static_cast<int>(info.format.samplesPerSec), imported.format.samplesPerSec);
        EXPECT_EQ(info.format.bitsPerSample, imported.format.bitsPerSample);
        EXPECT_EQ(info.dataOffset, 44);
        EXPECT_EQ(info.dataHeld, imported.dataLength);
    }

    TestFolder folder;
    QString bankFolder;
    RecordingProgressSink progress;
};

struct Kind {
    const char* name;
    // How the source is made: sox's format options, or a sox tone turned
    // into this codec by ffmpeg.
    QStringList soxFormat;
    QStringList ffmpegCodec;
    bool lossy = false;
};

} // namespace

TEST_F(SoundImport, EveryKindOfFileBecomesTheTargetsPcmAndSoundsAsSoxMakesIt) {
    const auto sox = [](int rate, int channels, int bits, const char* encoding) {
        return QStringList{QStringLiteral("-r"), QString::number(rate),
                           QStringLiteral("-c"), QString::number(channels),
                           QStringLiteral("-b"), QString::number(bits),
                           QStringLiteral("-e"), QString::fromLatin1(encoding)};
    };
    const Kind kinds[] = {
        {"u8.wav", sox(11025, 1, 8, "unsigned-integer"), {}},
        {"s16.wav", sox(44100, 2, 16, "signed-integer"), {}},
        {"s24.wav", sox(48000, 2, 24, "signed-integer"), {}},
        {"s32.wav", sox(96000, 1, 32, "signed-integer"), {}},
        {"f32.wav", sox(44100, 2, 32, "floating-point"), {}},
        {"s16.aiff", sox(22050, 1, 16, "signed-integer"), {}},
        {"s16.flac", sox(44100, 2, 16, "signed-integer"), {}},
        {"s24.flac", sox(96000, 1, 24, "signed-integer"), {}},
        // ffmpeg writes a LIST chunk before the data.
        {"lavf.wav", sox(8000, 1, 16, "signed-integer"), {QStringLiteral("pcm_s16le")}},
        {"tone.ogg", sox(44100, 2, 16, "signed-integer"), {QStringLiteral("libvorbis")}, true},
        {"tone.opus", sox(48000, 2, 16, "signed-integer"), {QStringLiteral("libopus")}, true},
        {"tone.mp3", sox(44100, 2, 16, "signed-integer"), {QStringLiteral("libmp3lame")}, true},
    };
    // How the import prompt names some of them: a player's words.
    const QHash<QString, QString> words{
        {QStringLiteral("u8.wav"), QStringLiteral("WAV, 8-bit, 11.025 kHz, mono")},
        {QStringLiteral("f32.wav"), QStringLiteral("WAV, 44.1 kHz, stereo")},
        {QStringLiteral("s24.flac"), QStringLiteral("FLAC, 24-bit, 96 kHz, mono")},
        {QStringLiteral("tone.ogg"), QStringLiteral("Ogg Vorbis, 44.1 kHz, stereo")},
        {QStringLiteral("tone.opus"), QStringLiteral("Opus, 48 kHz, stereo")},
        {QStringLiteral("tone.mp3"), QStringLiteral("MP3, 44.1 kHz, stereo")},
    };
    const Format targets[] = {{1, 22050, 16}, {2, 44100, 16}, {1, 11025, 8}};
    for (const Kind& kind : kinds) {
        const QString name = QString::fromLatin1(kind.name);
        SCOPED_TRACE(kind.name);
        QString source = Source(name);
        // What sox starts from: the file itself, or for a lossy file the
        // sound its decoder gives, made by ffmpeg.
        QString reference = source;
        if (kind.ffmpegCodec.isEmpty()) {
            ASSERT_TRUE(SoundTools::Tone(source, kind.soxFormat, 1.0));
        } else {
            const QString tone = Source(QStringLiteral("tone-") + name + QStringLiteral(".wav"));
            ASSERT_TRUE(SoundTools::Tone(tone, kind.soxFormat, 1.0));
            ASSERT_TRUE(SoundTools::Ffmpeg({QStringLiteral("-i"), tone, QStringLiteral("-c:a"),
                                            kind.ffmpegCodec.front(), source}));
            if (kind.lossy) {
                reference = Source(QStringLiteral("decoded-") + name + QStringLiteral(".wav"));
                ASSERT_TRUE(
                    SoundTools::Ffmpeg({QStringLiteral("-i"), source, QStringLiteral("-c:a"),
                                        QStringLiteral("pcm_f32le"), reference}));
            }
        }
        if (words.contains(name)) {
            CSoundImporter::Request request;
            request.source = source;
            request.target = targets[0];
            const CResult<QString> plan = CSoundImporter::Describe(request);
            ASSERT_TRUE(plan);
            EXPECT_TRUE(plan.Value().startsWith(
                QStringLiteral("%1 (%2) will be converted to 22,050 Hz, mono, 16-bit and saved")
                    .arg(name, words.value(name))))
                << qPrintable(plan.Value());
        }
        for (const Format& target : targets) {
            SCOPED_TRACE(testing::Message() << target.samplesPerSec << " Hz, " << target.channels
                                            << " channels, " << target.bitsPerSample << " bits");
            const auto imported = Import(source, target);
            ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
            EXPECT_EQ(imported.Value().format.channels, target.channels);
            EXPECT_EQ(imported.Value().format.samplesPerSec, target.samplesPerSec);
            EXPECT_EQ(imported.Value().format.bitsPerSample, target.bitsPerSample);
            EXPECT_LE(imported.Value().fileName.size(), 15);
            ExpectPlainWave(imported.Value());

            const QString made = Source(QStringLiteral("sox.wav"));
            ASSERT_TRUE(
                SoundTools::Sox({QStringLiteral("-D"), reference, QStringLiteral("-r"),
                                 QString::number(target.samplesPerSec), QStringLiteral("-c"),
                                 QString::number(target.channels), QStringLiteral("-b"),
                                 QString::number(target.bitsPerSample), made}));
            const SoundTools::Sound ours = SoundTools::Read(Written(imported.Value()));
            const SoundTools::Sound theirs = SoundTools::Read(made);
            // One second of sound, give or take what a lossy codec pads.
            EXPECT_NEAR(ours.Frames(), target.samplesPerSec,
                        kind.lossy ? target.samplesPerSec / 10 : 2);
            EXPECT_NEAR(SoundTools::LevelDb(ours.samples), SoundTools::LevelDb(theirs.samples),
                        0.1);
            const double below = SoundTools::DifferenceDb(ours, theirs, kind.lossy ? 2500 : 0);
            // Eight bits hold about 48 dB; the two dithers add their noise.
            EXPECT_GE(below, target.bitsPerSample == 8 ? 30.0 : 60.0);
            QFile::remove(Written(imported.Value()));
        }
    }
}

TEST_F(SoundImport, AWaveAlreadyInTheTargetFormatIsTakenSampleForSample) {
    const QString source = Source(QStringLiteral("same.wav"));
    ASSERT_TRUE(
        SoundTools::Tone(source,
                         {QStringLiteral("-r"), QStringLiteral("22050"), QStringLiteral("-c"),
                          QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16")},
                         0.5));
    const auto imported = Import(source, {2, 22050, 16});
    ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
    EXPECT_FALSE(imported.Value().dithered);
    QFile in(source);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray original = in.readAll();
    const CWaveReader::Info info = CWaveReader::Read(original);
    QFile out(Written(imported.Value()));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().mid(44), original.mid(info.dataOffset, info.dataHeld));
}

TEST_F(SoundImport, UpMixingCopiesAndKeepRateKeepsTheSourcesRate) {
    const QString source = Source(QStringLiteral("mono.flac"));
    ASSERT_TRUE(
        SoundTools::Tone(source,
                         {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                          QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16")},
                         0.25));
    const auto imported = Import(source, {2, 22050, 16}, true);
    ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
    EXPECT_EQ(imported.Value().format.samplesPerSec, 44100);
    EXPECT_EQ(imported.Value().format.channels, 2);
    const SoundTools::Sound ours = SoundTools::Read(Written(imported.Value()));
    const SoundTools::Sound theirs = SoundTools::Read(source);
    ASSERT_EQ(ours.Frames(), theirs.Frames());
    for (qint64 f = 0; f < ours.Frames(); ++f) {
        ASSERT_EQ(ours.samples[size_t(2 * f)], theirs.samples[size_t(f)]) << f;
        ASSERT_EQ(ours.samples[size_t(2 * f + 1)], theirs.samples[size_t(f)]) << f;
    }
}

TEST_F(SoundImport, ASamplerLoopIsCarriedInBytesOfTheNewRate) {
    const QString plain = Source(QStringLiteral("plain.wav"));
    ASSERT_TRUE(
        SoundTools::Tone(plain,
                         {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                          QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16")},
                         1.0));
    QFile in(plain);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray wave = in.readAll();
    // A "smpl" chunk with one forward loop over frames 4410 to 13229 (the
    // end is the loop's last frame), as sampler software writes it.
    QByteArray smpl(8 + 36 + 24, '\0');
    smpl.replace(0, 4, "smpl");
    BankBuilder::Put32(smpl, 4, 36 + 24);
    BankBuilder::Put32(smpl, 8 + 28, 1); // loops
    BankBuilder::Put32(smpl, 8 + 36 + 8, 4410);
    BankBuilder::Put32(smpl, 8 + 36 + 12, 13229);
    wave += smpl;
    BankBuilder::Put32(wave, 4, static_cast<quint32>(wave.size() - 8));
    const QString source = folder.Write(QStringLiteral("looped.wav"), wave);

    const auto imported = Import(source, {1, 22050, 16});
    ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
    EXPECT_TRUE(imported.Value().hasLoop);
    EXPECT_EQ(imported.Value().loopStart, 2205 * 2);
    EXPECT_EQ(imported.Value().loopLength, 4410 * 2);

    const auto unlooped = Import(plain, {1, 22050, 16});
    ASSERT_TRUE(unlooped);
    EXPECT_FALSE(unlooped.Value().hasLoop);
}

TEST_F(SoundImport, NamesAreNewShortAndNoFileIsEverReplaced) {
    folder.Write(QStringLiteral("bank/MY_ENGINE_S.WAV"), QByteArray("keep me"));
    const CFolderListing listing(bankFolder);
    const auto noRecord = [](const QString&) { return false; };
    EXPECT_EQ(
        CSoundImporter::ChooseName(QStringLiteral("/x/My Engine Sound.flac"), listing, noRecord),
        QStringLiteral("My_Engine_1.wav"));
    EXPECT_EQ(CSoundImporter::ChooseName(QStringLiteral("/x/crash.mp3"), listing,
                                         [](const QString& n) {
                                             return n.compare(QStringLiteral("CRASH.wav"),
                                                              Qt::CaseInsensitive) == 0;
                                         }),
              QStringLiteral("crash_1.wav"));
    EXPECT_EQ(CSoundImporter::ChooseName(QStringLiteral("/x/.hidden"), listing, noRecord),
              QStringLiteral("Sound.wav"));
    EXPECT_EQ(CSoundImporter::ChooseName(QStringLiteral("/x/\u00e9t\u00e9.ogg"), listing, noRecord),
              QStringLiteral("_t_.wav"));

    const QString source = Source(QStringLiteral("My Engine Sound.flac"));
    ASSERT_TRUE(SoundTools::Tone(source, {QStringLiteral("-r"), QStringLiteral("22050")}, 0.1));
    for (const char* expected : {"My_Engine_1.wav", "My_Engine_2.wav"}) {
        const auto imported = Import(source, {1, 22050, 16});
        ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
        EXPECT_EQ(imported.Value().fileName, QString::fromLatin1(expected));
    }
    EXPECT_EQ(folder.Read(QStringLiteral("bank/MY_ENGINE_S.WAV")), QByteArray("keep me"));
    // Nothing but the two new waves and the old file: no temporary is left.
    QStringList entries =
        QDir(bankFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    entries.sort();
    EXPECT_EQ(entries,
              (QStringList{QStringLiteral("MY_ENGINE_S.WAV"), QStringLiteral("My_Engine_1.wav"),
                           QStringLiteral("My_Engine_2.wav")}));
}

TEST_F(SoundImport, ShortSilentAndOneSampleFilesImport) {
    struct Case {
        const char* name;
        QStringList effect;
        double seconds;
    };
    const QString one = Source(QStringLiteral("one.wav"));
    ASSERT_TRUE(
        SoundTools::Sox({QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                         QStringLiteral("-b"), QStringLiteral("16"), one, QStringLiteral("synth"),
                         QStringLiteral("1s"), QStringLiteral("sine"), QStringLiteral("440")}));
    const QString silent = Source(QStringLiteral("silent.flac"));
    ASSERT_TRUE(
        SoundTools::Sox({QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("48000"),
                         QStringLiteral("-c"), QStringLiteral("2"), silent, QStringLiteral("trim"),
                         QStringLiteral("0"), QStringLiteral("0.5")}));
    for (const QString& source : {one, silent}) {
        SCOPED_TRACE(source.toStdString());
        const auto imported = Import(source, {1, 22050, 16});
        ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
        EXPECT_GE(imported.Value().dataLength, 2);
        ExpectPlainWave(imported.Value());
    }
    const SoundTools::Sound quiet = SoundTools::Read(bankFolder + QStringLiteral("silent.wav"));
    // Dither of silence stays near the last bit.
    EXPECT_LT(SoundTools::LevelDb(quiet.samples), -85.0);
}

TEST_F(SoundImport, FilesThatAreNoSoundAreRefusedWithTheirNameAndNothingIsWritten) {
    const QString flac = Source(QStringLiteral("cut.flac"));
    ASSERT_TRUE(SoundTools::Tone(flac, {QStringLiteral("-r"), QStringLiteral("44100")}, 1.0));
    QFile cut(flac);
    ASSERT_TRUE(cut.resize(60));
    // Cut inside its headers, libsndfile's refusal leaves libvorbis memory
    // behind (see tests/lsan.supp).
    const QString ogg = Source(QStringLiteral("cut.ogg"));
    ASSERT_TRUE(SoundTools::Tone(ogg, {QStringLiteral("-r"), QStringLiteral("22050")}, 1.0));
    ASSERT_TRUE(QFile(ogg).resize(1000));
    const QString fifo = Source(QStringLiteral("pipe.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("dir.wav")));
    const QString paths[] = {
        Source(QStringLiteral("none.wav")),
        fifo,
        Source(QStringLiteral("dir.wav")),
        folder.Write(QStringLiteral("text.wav"), QByteArray("this is not a sound\n")),
        folder.Write(QStringLiteral("empty.ogg"), QByteArray()),
        flac,
        ogg,
    };
    for (const QString& path : paths) {
        const auto imported = Import(path, {1, 22050, 16});
        ASSERT_FALSE(imported) << qPrintable(path);
        EXPECT_TRUE(imported.Error().text.contains(QFileInfo(path).absoluteFilePath()))
            << qPrintable(imported.Error().text);
    }
    EXPECT_TRUE(QDir(bankFolder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(SoundImport, ADataChunkThatClaimsMoreThanTheFileHoldsGivesWhatIsThere) {
    const QString plain = Source(QStringLiteral("plain.wav"));
    ASSERT_TRUE(
        SoundTools::Tone(plain,
                         {QStringLiteral("-r"), QStringLiteral("22050"), QStringLiteral("-c"),
                          QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16")},
                         0.1));
    QFile in(plain);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray wave = in.readAll();
    const CWaveReader::Info info = CWaveReader::Read(wave);
    BankBuilder::Put32(wave, info.dataOffset - 4, 0x7FFFFFF0U);
    const auto imported = Import(folder.Write(QStringLiteral("liar.wav"), wave), {1, 22050, 16});
    ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
    EXPECT_EQ(imported.Value().dataLength, info.dataHeld);
}

// Waves libsndfile refuses go to our own reader. Once it had a descriptor
// libsndfile had closed behind our back, and every such file past its first
// 16 KB read failed.
TEST_F(SoundImport, WavesLibsndfileRefusesAreReadWholeByOurOwnReader) {
    const QString plain = Source(QStringLiteral("plain.wav"));
    ASSERT_TRUE(
        SoundTools::Tone(plain,
                         {QStringLiteral("-r"), QStringLiteral("22050"), QStringLiteral("-c"),
                          QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16")},
                         1.0));
    QFile in(plain);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray wave = in.readAll();
    const CWaveReader::Info info = CWaveReader::Read(wave);
    ASSERT_GT(info.dataHeld, 16384);
    QByteArray oddForm = wave;
    oddForm.replace(8, 4, "WAVf");
    // A second copy of the format chunk right after the first.
    const qsizetype fmt = wave.indexOf("fmt ");
    QByteArray twoFormats = wave;
    twoFormats.insert(fmt, wave.mid(fmt, 8 + 16));
    BankBuilder::Put32(twoFormats, 4, static_cast<quint32>(twoFormats.size() - 8));
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("odd.wav"), oddForm},
                                      std::pair{QStringLiteral("twice.wav"), twoFormats}}) {
        SCOPED_TRACE(qPrintable(name));
        const auto imported = Import(folder.Write(name, bytes), {1, 22050, 16});
        ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
        EXPECT_EQ(imported.Value().dataLength, info.dataHeld);
        EXPECT_EQ(folder.Read(QStringLiteral("bank/") + imported.Value().fileName).mid(44),
                  wave.mid(info.dataOffset, info.dataHeld));
    }
}

// A rate field of 0 reads as 1 Hz: resampled to the record's rate, a second
// of it would become hours of sound and gigabytes of memory. Refused before
// any conversion, so nothing is written and no memory taken.
TEST_F(SoundImport, SourcesAtAFewHertzAreRefusedBeforeAnyConversion) {
    const QString wave = Source(QStringLiteral("tone.wav"));
    const QString aiff = Source(QStringLiteral("tone.aiff"));
    ASSERT_TRUE(SoundTools::Tone(wave, {QStringLiteral("-r"), QStringLiteral("22050")}, 1.0));
    ASSERT_TRUE(SoundTools::Tone(aiff, {QStringLiteral("-r"), QStringLiteral("22050")}, 1.0));
    QByteArray oneHertz = folder.Read(QStringLiteral("tone.wav"));
    BankBuilder::Put32(oneHertz, oneHertz.indexOf("fmt ") + 12, 1);
    QByteArray noRate = folder.Read(QStringLiteral("tone.aiff"));
    // The 80-bit rate of the COMM chunk.
    noRate.replace(noRate.indexOf("COMM") + 16, 10, QByteArray(10, '\0'));
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("1hz.wav"), oneHertz},
                                      std::pair{QStringLiteral("0hz.aiff"), noRate}}) {
        for (const bool keepRate : {false, true}) {
            SCOPED_TRACE(qPrintable(name + (keepRate ? QStringLiteral(" keep") : QString())));
            const auto imported = Import(folder.Write(name, bytes), {1, 22050, 16}, keepRate);
            ASSERT_FALSE(imported);
            EXPECT_TRUE(imported.Error().text.contains(QStringLiteral("1 Hz")))
                << qPrintable(imported.Error().text);
            EXPECT_FALSE(imported.Error().text.contains(QStringLiteral("1 channels")));
        }
    }
    EXPECT_TRUE(QDir(bankFolder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

namespace {
// Cuts the source short once the import has read its first block.
class CuttingProgress final : public IProgressSink {
public:
    explicit CuttingProgress(QString path) : m_path(std::move(path)) {}
    void Begin(const QString&, qint64) override {}
    void Step(qint64 done) override {
        if (done > 0 && !m_bCut) {
            m_bCut = QFile(m_path).resize(QFile(m_path).size() / 2);
        }
    }
    void End() override {}
    bool Cut() const { return m_bCut; }

private:
    QString m_path;
    bool m_bCut = false;
};
} // namespace

// A source that holds less than it says gives what it holds and says so, as a
// save does of a short wave; one cut short while it is read is refused.
TEST_F(SoundImport, ASourceShorterThanItClaimsIsToldAndOneCutWhileReadIsRefused) {
    const QString flac = Source(QStringLiteral("whole.flac"));
    ASSERT_TRUE(SoundTools::Tone(flac, {QStringLiteral("-r"), QStringLiteral("44100")}, 2.0));
    const QByteArray whole = folder.Read(QStringLiteral("whole.flac"));
    const auto half = Import(
        folder.Write(QStringLiteral("half.flac"), whole.left(whole.size() / 2)), {1, 44100, 16});
    ASSERT_TRUE(half) << qPrintable(half.Error().text);
    EXPECT_TRUE(half.Value().warning.contains(QStringLiteral("of the 88200 frames it claims")))
        << qPrintable(half.Value().warning);
    EXPECT_TRUE(half.Value().warning.contains(Source(QStringLiteral("half.flac"))));

    const QString plain = Source(QStringLiteral("plain.wav"));
    ASSERT_TRUE(SoundTools::Tone(plain, {QStringLiteral("-r"), QStringLiteral("22050")}, 0.1));
    QByteArray liar = folder.Read(QStringLiteral("plain.wav"));
    BankBuilder::Put32(liar, liar.indexOf("data") + 4, 0x7FFFFFF0U);
    const auto lied = Import(folder.Write(QStringLiteral("liar.wav"), liar), {1, 22050, 16});
    ASSERT_TRUE(lied);
    EXPECT_TRUE(lied.Value().warning.contains(QStringLiteral("frames it claims")))
        << qPrintable(lied.Value().warning);
    const auto fine = Import(plain, {1, 22050, 16});
    ASSERT_TRUE(fine);
    EXPECT_TRUE(fine.Value().warning.isEmpty()) << qPrintable(fine.Value().warning);

    const QString cut = Source(QStringLiteral("cut.wav"));
    ASSERT_TRUE(SoundTools::Tone(cut, {QStringLiteral("-r"), QStringLiteral("22050")}, 3.0));
    for (const QString& path : {cut, flac}) {
        SCOPED_TRACE(qPrintable(path));
        const QStringList before =
            QDir(bankFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        CSoundImporter::Request request;
        request.source = path;
        request.folder = bankFolder;
        request.target = {1, 22050, 16};
        CuttingProgress cutter(path);
        const auto imported = CSoundImporter::Import(request, cutter);
        ASSERT_TRUE(cutter.Cut());
        ASSERT_FALSE(imported);
        EXPECT_TRUE(imported.Error().text.contains(QStringLiteral("changed while it was read")))
            << qPrintable(imported.Error().text);
        EXPECT_EQ(
            QDir(bankFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            before);
    }
}

// What a test's own code writes to standard error while it runs: libmpg123's
// complaints about a damaged MP3 would land there.
class StandardErrorCapture {
public:
    explicit StandardErrorCapture(const QString& path) : m_path(path) {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
    ~StandardErrorCapture() { Restore(); }
    StandardErrorCapture(const StandardErrorCapture&) = delete;
    StandardErrorCapture& operator=(const StandardErrorCapture&) = delete;
    QByteArray Text() {
        Restore();
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }

private:
    void Restore() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
    }
    QString m_path;
    int m_saved = -1;
};

// An MP3 cut short says so in our words only: the decoder's own lines stay
// off the terminal, and a stream with nothing decodable is not called a pipe.
TEST_F(SoundImport, AnMp3CutShortIsToldInOneMessageOfOurs) {
    const QString tone = Source(QStringLiteral("tone.wav"));
    ASSERT_TRUE(SoundTools::Tone(tone, {QStringLiteral("-r"), QStringLiteral("22050")}, 2.0));
    const QString mp3 = Source(QStringLiteral("tone.mp3"));
    ASSERT_TRUE(SoundTools::Ffmpeg(
        {QStringLiteral("-i"), tone, QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), mp3}));
    const QByteArray whole = folder.Read(QStringLiteral("tone.mp3"));
    const QString third = folder.Write(QStringLiteral("third.mp3"), whole.left(whole.size() / 3));
    const QString stub = folder.Write(QStringLiteral("stub.mp3"), whole.left(100));

    StandardErrorCapture capture(Source(QStringLiteral("stderr.txt")));
    const auto cut = Import(third, {1, 22050, 16});
    const auto none = Import(stub, {1, 22050, 16});
    const QByteArray printed = capture.Text();
    EXPECT_TRUE(printed.isEmpty()) << printed.constData();

    ASSERT_TRUE(cut) << qPrintable(cut.Error().text);
    EXPECT_TRUE(cut.Value().warning.contains(QStringLiteral("frames it claims")))
        << qPrintable(cut.Value().warning);
    ASSERT_FALSE(none);
    EXPECT_TRUE(none.Error().text.contains(QStringLiteral("MP3"))) << qPrintable(none.Error().text);
    EXPECT_FALSE(none.Error().text.contains(QStringLiteral("pipe")))
        << qPrintable(none.Error().text);
}

// The sound libraries are opened only when a sound needs them. One that
// cannot be opened fails just the step that needs it, in words that name
// it, and leaves nothing behind; the others go on working.
TEST_F(SoundImport, ALibraryThatCannotBeLoadedFailsOnlyWhatNeedsItAndIsNamed) {
    const QString flac = Source(QStringLiteral("tone.flac"));
    const QString wave = Source(QStringLiteral("tone.wav"));
    for (const QString& path : {flac, wave}) {
        ASSERT_TRUE(SoundTools::Tone(path,
                                     {QStringLiteral("-r"), QStringLiteral("44100"),
                                      QStringLiteral("-c"), QStringLiteral("1")},
                                     0.5));
    }
    const auto expectNamed = [&](const auto& failed, const QString& path, const char* library) {
        ASSERT_FALSE(failed) << library;
        EXPECT_TRUE(failed.Error().text.contains(QFileInfo(path).absoluteFilePath()) &&
                    failed.Error().text.contains(QLatin1String(library)))
            << qPrintable(failed.Error().text);
    };
    // A library of that name without the functions (another one's, say)
    // counts as missing too.
    const CSndfileLibrary other("libsoxr.so.0");
    EXPECT_FALSE(other.IsLoaded());
    EXPECT_TRUE(other.Error().contains(QStringLiteral("sf_open_virtual")))
        << qPrintable(other.Error());
    {
        CSndfileLibrary missing("libkantel-missing-sndfile.so.1");
        const CSeam<CSndfileLibrary>::Guard guard(&missing);
        expectNamed(Import(flac, {1, 44100, 16}), flac, "libkantel-missing-sndfile.so.1");
        expectNamed(CLoudnessMeter::MeasureFile(wave), wave, "libkantel-missing-sndfile.so.1");
    }
    {
        CSoxrLibrary missing("libkantel-missing-soxr.so.0");
        const CSeam<CSoxrLibrary>::Guard guard(&missing);
        expectNamed(Import(flac, {1, 22050, 16}), flac, "libkantel-missing-soxr.so.0");
        EXPECT_TRUE(QDir(bankFolder).isEmpty());
        const auto sameRate = Import(flac, {1, 44100, 16});
        ASSERT_TRUE(sameRate) << qPrintable(sameRate.Error().text);
    }
    {
        CEbur128Library missing("libkantel-missing-ebur128.so.1");
        const CSeam<CEbur128Library>::Guard guard(&missing);
        expectNamed(CLoudnessMeter::MeasureFile(wave), wave, "libkantel-missing-ebur128.so.1");
        SoundResource banked{};
        banked.channels = 1;
        banked.samplesPerSec = 22050;
        banked.bitsPerSample = 16;
        banked.waveFormat = SoundResource::kWaveFormatPcm;
        std::strncpy(banked.fileName, "banked.wav", sizeof banked.fileName - 1);
        const auto measured = CLoudnessMeter::MeasureSample(banked, QByteArray(4410, '\1'), {});
        ASSERT_FALSE(measured);
        EXPECT_TRUE(measured.Error().text.contains(QStringLiteral("banked.wav")) &&
                    measured.Error().text.contains(QStringLiteral("libkantel-missing-ebur128")))
            << qPrintable(measured.Error().text);
    }
    const auto measured = CLoudnessMeter::MeasureFile(flac);
    ASSERT_TRUE(measured) << qPrintable(measured.Error().text);
    EXPECT_NEAR(measured.Value().samplePeak, -6.0, 0.1);
}

// --- the document ------------------------------------------------------------

TEST_F(SoundImport, TheRecordTakesTheNewWaveAndASaveBanksIt) {
    BankBuilder b;
    SoundResource& looped = b.AddSample(7, QStringLiteral("engine.wav"),
                                        BankBuilder::Pattern(400, 3), true, 11025, 8, 1);
    looped.looped = 1;
    looped.loopStart = 100;
    looped.loopLength = 200;
    b.AddCdTrack(8, 2);
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
    const QString source = Source(QStringLiteral("New Engine.flac"));
    ASSERT_TRUE(
        SoundTools::Tone(source,
                         {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                          QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("24")},
                         0.5));
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    EXPECT_FALSE(doc.ImportSound(1, source, {})) << "a CD track takes no sound";
    ASSERT_EQ(prompts.Texts().size(), 1);
    ASSERT_TRUE(doc.ImportSound(0, source, {}));
    EXPECT_TRUE(doc.IsModified());
    const SoundResource& r = doc.Resources()[0];
    EXPECT_EQ(CBnmFormat::FileNameText(r), QStringLiteral("New_Engine.wav"));
    EXPECT_EQ(r.samplesPerSec, 11025);
    EXPECT_EQ(r.channels, 1);
    EXPECT_EQ(r.bitsPerSample, 8);
    EXPECT_EQ(r.length, 5513); // half a second at 11,025 Hz, one byte a frame
    // A looped sound without a loop of its own loops as a whole.
    EXPECT_EQ(r.looped, 1);
    EXPECT_EQ(r.loopStart, 0);
    EXPECT_EQ(r.loopLength, r.length);
    EXPECT_TRUE(folder.Exists(QStringLiteral("bank/engine.wav"))) << "the old wave stays";

    ASSERT_TRUE(doc.OnSaveDocument(bank));
    CKantelDoc reopened;
    ASSERT_TRUE(reopened.LoadBankAndNames(bank));
    const QByteArray wave = folder.Read(QStringLiteral("bank/New_Engine.wav"));
    const QByteArrayView image = reopened.GetImage();
    const SoundResource& saved = reopened.Resources()[0];
    EXPECT_EQ(saved.length, 5513);
    EXPECT_EQ(image.sliced(reopened.Header()->sampleDataOffset + saved.offset, saved.length)
                  .toByteArray(),
              wave.mid(44));
}

// Once a save has banked the imported sound, its wave is no longer the only
// copy; Undo and Redo must not bring back the time before that save, when a
// vanished wave file was nothing worth stopping for.
TEST_F(SoundImport, UndoAndRedoAfterASaveKeepWhatTheSavedBankHolds) {
    BankBuilder b;
    b.AddSample(7, QStringLiteral("engine.wav"), BankBuilder::Pattern(400, 3), true, 11025, 8, 1);
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
    const QString source = Source(QStringLiteral("ok.wav"));
    ASSERT_TRUE(SoundTools::Tone(source, {QStringLiteral("-r"), QStringLiteral("11025")}, 0.2));
    for (const bool undoRedo : {false, true}) {
        SCOPED_TRACE(undoRedo ? "after Undo and Redo" : "straight after the save");
        ASSERT_TRUE(folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build()) == bank);
        RecordingPromptSink prompts;
        CKantelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(bank));
        ASSERT_TRUE(doc.ImportSound(0, source, {}));
        const QString wave = bankFolder + CBnmFormat::FileNameText(doc.Resources()[0]);
        ASSERT_TRUE(doc.OnSaveDocument(bank));
        const QByteArray saved = folder.Read(QStringLiteral("bank/Bnk_1.bnm"));
        if (undoRedo) {
            ASSERT_TRUE(doc.Undo());
            ASSERT_TRUE(doc.Redo());
        }
        ASSERT_TRUE(QFile::remove(wave));
        EXPECT_FALSE(doc.OnSaveDocument(bank)) << qPrintable(prompts.Texts().join('\n'));
        EXPECT_EQ(folder.Read(QStringLiteral("bank/Bnk_1.bnm")), saved)
            << "the saved bank holds the only copy of the sound";
    }
}

// An undone import leaves a wave no record names; once the bank is saved
// without it, it goes to the trash (never deleted outright), and comes back
// from there when a Redo names it again.
TEST_F(SoundImport, TheWaveOfAnUndoneImportGoesToTheTrashOnceSavedWithoutIt) {
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder.FilePath(QStringLiteral("share"))));
    BankBuilder b;
    b.AddSample(7, QStringLiteral("engine.wav"), BankBuilder::Pattern(400, 3), true, 11025, 8, 1);
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
    const QString source = Source(QStringLiteral("ok.wav"));
    ASSERT_TRUE(SoundTools::Tone(source, {QStringLiteral("-r"), QStringLiteral("11025")}, 0.2));
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    ASSERT_TRUE(doc.ImportSound(0, source, {}));
    const QString name = CBnmFormat::FileNameText(doc.Resources()[0]);
    const QString wave = bankFolder + name;
    const QByteArray sound = folder.Read(QStringLiteral("bank/") + name);
    const QString trashed = folder.FilePath(QStringLiteral("share/Trash/files/") + name);
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(QFileInfo::exists(wave)) << "only a save decides";
    ASSERT_TRUE(doc.OnSaveDocument(bank));
    EXPECT_FALSE(QFileInfo::exists(wave));
    EXPECT_EQ(folder.Read(QStringLiteral("share/Trash/files/") + name), sound);
    EXPECT_TRUE(
        folder.Exists(QStringLiteral("share/Trash/info/") + name + QStringLiteral(".trashinfo")));

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(folder.Read(QStringLiteral("bank/") + name), sound);
    EXPECT_FALSE(QFileInfo::exists(trashed));
    EXPECT_FALSE(
        folder.Exists(QStringLiteral("share/Trash/info/") + name + QStringLiteral(".trashinfo")));
    ASSERT_TRUE(doc.OnSaveDocument(bank)) << qPrintable(prompts.Texts().join('\n'));
    EXPECT_TRUE(QFileInfo::exists(wave)) << "named again, it stays";
    CKantelDoc reopened;
    ASSERT_TRUE(reopened.LoadBankAndNames(bank));
    EXPECT_EQ(CBnmFormat::FileNameText(reopened.Resources()[0]), name);
    if (home.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", home);
    }
}

// --- saving checks each banked sample's wave against its record --------------

TEST_F(SoundImport, ASaveGivesRecordsTheFormatOfTheirWavesAndSaysSoOnce) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("crash.wav"), BankBuilder::Pattern(400, 1), true, 22050, 16, 2);
    b.AddSample(2, QStringLiteral("horn.wav"), BankBuilder::Pattern(200, 2), true, 22050, 16, 1);
    b.AddSample(3, QStringLiteral("wind.wav"), BankBuilder::Pattern(100, 3), false, 11025, 8, 1);
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    // Opening told of the external samples' waves, which the test writes only now.
    prompts.prompts.clear();
    // Another program replaces two of the waves in the bank's folder.
    const QString crash = bankFolder + QStringLiteral("crash.wav");
    ASSERT_TRUE(
        SoundTools::Tone(crash,
                         {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                          QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16")},
                         0.1));
    ASSERT_TRUE(
        SoundTools::Tone(bankFolder + QStringLiteral("wind.wav"),
                         {QStringLiteral("-r"), QStringLiteral("8000"), QStringLiteral("-c"),
                          QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16")},
                         0.1));
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(bank));
    ASSERT_EQ(prompts.Texts().size(), 1) << qPrintable(prompts.Texts().join(QLatin1Char('\n')));
    EXPECT_TRUE(
        prompts.Texts()[0].contains(QStringLiteral("crash.wav: 44100 Hz, 1 channel, 16 bits "
                                                   "(was 22050 Hz, 2 channels, 16 bits)")))
        << qPrintable(prompts.Texts()[0]);
    EXPECT_TRUE(prompts.Texts()[0].contains(QStringLiteral("wind.wav: 8000 Hz")));
    EXPECT_FALSE(prompts.Texts()[0].contains(QStringLiteral("horn.wav")));

    CKantelDoc reopened;
    ASSERT_TRUE(reopened.LoadBankAndNames(bank));
    const SoundResource& r = reopened.Resources()[0];
    EXPECT_EQ(r.samplesPerSec, 44100);
    EXPECT_EQ(r.channels, 1);
    EXPECT_EQ(r.length, 4410 * 2);
    EXPECT_EQ(reopened.Resources()[1].samplesPerSec, 22050) << "a wave that matches is left alone";
}

// The loop is in bytes of the record's format. When a save gives the record
// its wave's format, a loop left in the old bytes would start mid-frame and
// at another time.
TEST_F(SoundImport, ALoopMovesWithTheFormatASaveGivesTheRecord) {
    BankBuilder b;
    SoundResource& r = b.AddSample(1, QStringLiteral("engidle.wav"), BankBuilder::Pattern(11025, 1),
                                   true, 11025, 8, 1);
    r.looped = 1;
    r.loopStart = 1102;  // 0.1 s at 11,025 Hz, one byte a frame
    r.loopLength = 2205; // 0.2 s
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    ASSERT_TRUE(
        SoundTools::Tone(bankFolder + QStringLiteral("engidle.wav"),
                         {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                          QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16")},
                         1.0));
    ASSERT_TRUE(doc.OnSaveDocument(bank));
    const SoundResource& saved = doc.Resources()[0];
    EXPECT_EQ(saved.samplesPerSec, 44100);
    EXPECT_EQ(saved.loopStart, 4408 * 4) << "0.1 s in whole 4-byte frames";
    EXPECT_EQ(saved.loopLength, (13228 - 4408) * 4);
    ASSERT_EQ(prompts.Texts().size(), 1);
    EXPECT_TRUE(prompts.Texts()[0].contains(QStringLiteral("loops start and end at the same")))
        << qPrintable(prompts.Texts()[0]);
}

// A wave with no channels, rate or sample size plays as nothing at all.
TEST_F(SoundImport, AWaveWithoutChannelsRateOrBitsStopsTheSave) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("crash.wav"), BankBuilder::Pattern(400, 1), true);
    const QByteArray original = b.Build();
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), original);
    const QString wave = bankFolder + QStringLiteral("crash.wav");
    ASSERT_TRUE(SoundTools::Tone(wave, {QStringLiteral("-r"), QStringLiteral("22050")}, 0.1));
    const QByteArray good = folder.Read(QStringLiteral("bank/crash.wav"));
    const qsizetype fmt = good.indexOf("fmt ") + 8;
    for (const auto& [field, at] : {std::pair{"channels", fmt + 2}, std::pair{"rate", fmt + 4},
                                    std::pair{"bits", fmt + 14}}) {
        SCOPED_TRACE(field);
        QByteArray bad = good;
        bad[at] = '\0';
        bad[at + 1] = '\0';
        if (std::string_view(field) == "rate") {
            BankBuilder::Put32(bad, at, 0);
        }
        RecordingPromptSink prompts;
        CKantelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(bank));
        folder.Write(QStringLiteral("bank/crash.wav"), bad);
        EXPECT_FALSE(doc.OnSaveDocument(bank));
        ASSERT_FALSE(prompts.Texts().isEmpty());
        EXPECT_TRUE(prompts.Texts().last().contains(QStringLiteral("gives no channels")))
            << qPrintable(prompts.Texts().join('\n'));
        EXPECT_EQ(folder.Read(QStringLiteral("bank/Bnk_1.bnm")), original);
    }
}

TEST_F(SoundImport, AWaveTheGameCannotPlayStopsTheSaveAndNothingIsLost) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("crash.wav"), BankBuilder::Pattern(400, 1), true);
    const QByteArray original = b.Build();
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), original);
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    ASSERT_TRUE(SoundTools::Tone(bankFolder + QStringLiteral("crash.wav"),
                                 {QStringLiteral("-r"), QStringLiteral("22050"),
                                  QStringLiteral("-e"), QStringLiteral("floating-point"),
                                  QStringLiteral("-b"), QStringLiteral("32")},
                                 0.1));
    const SoundResource before = doc.Resources()[0];
    EXPECT_FALSE(doc.OnSaveDocument(bank));
    ASSERT_EQ(prompts.Texts().size(), 1);
    EXPECT_TRUE(prompts.Texts()[0].contains(QStringLiteral("crash.wav is not PCM")))
        << qPrintable(prompts.Texts()[0]);
    EXPECT_EQ(folder.Read(QStringLiteral("bank/Bnk_1.bnm")), original);
    EXPECT_EQ(std::memcmp(&doc.Resources()[0], &before, sizeof before), 0);
}

// An import saved at once: its wave is named with the bank or not at all,
// and until then the save reads it from where it waits.
TEST_F(SoundImport, AWaveImportedWithTheNextSaveLandsOnlyWithTheBank) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("crash.wav"), BankBuilder::Pattern(400, 1), true);
    b.AddSample(2, QStringLiteral("horn.wav"), BankBuilder::Pattern(300, 2), true);
    const QByteArray original = b.Build();
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), original);
    const QString source =
        folder.Write(QStringLiteral("new.wav"), BankBuilder::Wave(BankBuilder::Pattern(2000, 5)));
    const auto entries = [&] {
        return QDir(bankFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    RecordingPromptSink prompts;
    const QByteArray crash = [&] {
        CKantelDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(bank));
        return folder.Read(QStringLiteral("bank/crash.wav"));
    }();
    const QStringList opened = entries();
    CKantelDoc::ImportOptions withSave;
    withSave.withNextSave = true;
    {
        // A save the writer refuses: crash.wav turned into floats.
        CKantelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(bank));
        QByteArray floats = crash;
        floats[20] = 3;
        folder.Write(QStringLiteral("bank/crash.wav"), floats);
        ASSERT_TRUE(doc.ImportSound(1, source, withSave));
        EXPECT_FALSE(QFileInfo::exists(bankFolder + QStringLiteral("new.wav")));
        EXPECT_FALSE(doc.OnSaveDocument(bank));
        EXPECT_FALSE(QFileInfo::exists(bankFolder + QStringLiteral("new.wav")));
        folder.Write(QStringLiteral("bank/crash.wav"), crash);
    }
    EXPECT_EQ(entries(), opened) << "nothing of the import stays";
    EXPECT_EQ(folder.Read(QStringLiteral("bank/Bnk_1.bnm")), original);

    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    ASSERT_TRUE(doc.ImportSound(1, source, withSave));
    ASSERT_TRUE(doc.OnSaveDocument(bank));
    EXPECT_EQ(folder.Read(QStringLiteral("bank/new.wav")).mid(44), BankBuilder::Pattern(2000, 5));
    CKantelDoc saved;
    ASSERT_TRUE(saved.LoadBankAndNames(bank));
    EXPECT_EQ(CBnmFormat::FileNameText(saved.Resources()[1]), QStringLiteral("new.wav"));
    const qint64 data = saved.Header()->sampleDataOffset + saved.Resources()[1].offset;
    EXPECT_EQ(saved.GetImage().sliced(data, 2000).toByteArray(), BankBuilder::Pattern(2000, 5))
        << "the bank holds the new sound";
}

TEST_F(SoundImport, ALoopFollowsTheLengthASaveCorrects) {
    BankBuilder b;
    // Records as the old dialog left them after reading a wave's LIST chunk
    // for its data: a length of 20 and a loop over those 20 bytes.
    SoundResource& whole = b.AddSample(1, QStringLiteral("a.wav"), QByteArray(), false);
    whole.length = 20;
    whole.looped = 1;
    whole.loopLength = 20;
    SoundResource& past = b.AddSample(2, QStringLiteral("b.wav"), QByteArray(), false);
    past.length = 5000;
    past.looped = 1;
    past.loopStart = 100;
    past.loopLength = 4900;
    const QString bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
    for (const char* name : {"a.wav", "b.wav"}) {
        ASSERT_TRUE(
            SoundTools::Ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                QStringLiteral("sine=frequency=440:sample_rate=22050:"
                                               "duration=0.02"),
                                QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"),
                                bankFolder + QString::fromLatin1(name)}));
    }
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(bank));
    const SoundResource& a = doc.Resources()[0];
    EXPECT_EQ(a.length, 441 * 2);
    EXPECT_EQ(a.loopStart, 0);
    EXPECT_EQ(a.loopLength, a.length);
    const SoundResource& c = doc.Resources()[1];
    EXPECT_EQ(c.length, 441 * 2);
    EXPECT_EQ(c.loopStart, 100);
    EXPECT_EQ(c.loopLength, c.length - 100);
}

TEST_F(SoundImport, ValuesOfAFloatFileThatAreNoNumbersBecomeSilence) {
    const QString made = Source(QStringLiteral("float.wav"));
    ASSERT_TRUE(
        SoundTools::Tone(made,
                         {QStringLiteral("-r"), QStringLiteral("22050"), QStringLiteral("-c"),
                          QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("32"),
                          QStringLiteral("-e"), QStringLiteral("floating-point")},
                         0.05));
    QFile in(made);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray wave = in.readAll();
    const CWaveReader::Info info = CWaveReader::Read(wave);
    // A quiet NaN, infinity and minus infinity as the first three samples.
    const quint32 odd[] = {0x7FC00000U, 0x7F800000U, 0xFF800000U};
    for (int i = 0; i < 3; ++i) {
        BankBuilder::Put32(wave, info.dataOffset + 4 * i, odd[i]);
    }
    for (const Format& target : {Format{1, 22050, 16}, Format{2, 11025, 8}}) {
        const auto imported = Import(folder.Write(QStringLiteral("nan.wav"), wave), target);
        ASSERT_TRUE(imported) << qPrintable(imported.Error().text);
        const SoundTools::Sound sound = SoundTools::Read(Written(imported.Value()));
        for (double s : sound.samples) {
            ASSERT_TRUE(std::isfinite(s) && std::abs(s) <= 1.0);
        }
        if (target.samplesPerSec == 22050) {
            for (int i = 0; i < 3; ++i) {
                EXPECT_LE(std::abs(sound.samples.at(size_t(i))), 1.0 / 16384)
                    << i << ": silence, give or take dither";
            }
        }
    }
}
