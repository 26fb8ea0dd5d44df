#include "DialogDriver.h"
#include "RecordingSoundPlayer.h"
#include "TestFolder.h"

#include "framework/ui/CQtSoundPlayer.h"
#include "framework/ui/IWaveDuration.h"
#include "framework/ui/PlaySound.h"

#include <QIODevice>

#include <gtest/gtest.h>

namespace {

// Keeps what the player asked it, and says no file is playable.
struct RecordingReader final : IWaveDuration {
    qint64 DurationMs(QIODevice& device) const override {
        seen = device.readAll();
        return -1;
    }
    mutable QByteArray seen;
};

TEST(SoundPlayer, PlaySoundGoesToTheCurrentPlayer) {
    RecordingSoundPlayer player;
    EXPECT_TRUE(PlaySound(QStringLiteral("a.wav"), SND_FILENAME | SND_ASYNC));
    EXPECT_TRUE(PlaySound(QStringLiteral("b.wav"), SND_FILENAME));
    ASSERT_EQ(player.sounds.size(), 2);
    EXPECT_EQ(player.sounds[0].path, QStringLiteral("a.wav"));
    EXPECT_EQ(player.sounds[0].flags, SND_FILENAME | SND_ASYNC);
    EXPECT_EQ(player.sounds[1].flags, SND_FILENAME);
}

TEST(SoundPlayer, UnplayableFilesReturnAtOnceWithoutComplaint) {
    DialogDriver::EnsureApplication();
    TestFolder folder;
    folder.Write(QStringLiteral("junk.wav"), QByteArray(100, 'j'));
    CQtSoundPlayer player;
    EXPECT_FALSE(player.Play(folder.FilePath(QStringLiteral("missing.wav")), SND_FILENAME));
    EXPECT_FALSE(player.Play(folder.FilePath(QStringLiteral("junk.wav")), SND_FILENAME));
    EXPECT_FALSE(player.Play(folder.Path(), SND_FILENAME | SND_ASYNC));
    EXPECT_TRUE(player.Play(QString(), SND_ASYNC));
}

TEST(SoundPlayer, TheNamedDurationReaderDecidesWhatIsPlayable) {
    DialogDriver::EnsureApplication();
    TestFolder folder;
    // Any bytes do: the stand-in reader, not a wave parser, judges them.
    const QByteArray wave = QByteArrayLiteral("RIFF") + QByteArray(100, '\0');
    folder.Write(QStringLiteral("Horn.WAV"), wave);
    CQtSoundPlayer player;
    // Until the application puts a reader in place, nothing is played.
    EXPECT_FALSE(player.Play(folder.FilePath(QStringLiteral("Horn.WAV")), SND_NODEFAULT));
    // The reader gets the file found without regard to case, from its start.
    RecordingReader reader;
    const CSeam<IWaveDuration>::Guard guard(&reader);
    EXPECT_FALSE(player.Play(folder.FilePath(QStringLiteral("horn.wav")), SND_NODEFAULT));
    EXPECT_EQ(reader.seen, wave);
}

} // namespace
