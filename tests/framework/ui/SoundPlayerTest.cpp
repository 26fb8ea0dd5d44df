#include "BankBuilder.h"
#include "DialogDriver.h"
#include "RecordingSoundPlayer.h"
#include "TestFolder.h"

#include "framework/ui/CQtSoundPlayer.h"
#include "framework/ui/PlaySound.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

qint64 Duration(const QByteArray& image) {
    QByteArray copy = image;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return CQtSoundPlayer::DurationMs(buffer);
}

QByteArray Chunk(const char* id, const QByteArray& body) {
    QByteArray chunk(id, 4);
    chunk.append(4, '\0');
    BankBuilder::Put32(chunk, 4, static_cast<quint32>(body.size()));
    return chunk + body;
}

TEST(SoundPlayer, DurationComesFromTheFormatAndDataChunks) {
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

TEST(SoundPlayer, FilesThatAreNoPlayableWaveHaveNoDuration) {
    QByteArray notRiff = BankBuilder::Wave(QByteArray(100, '\0'));
    notRiff.replace(0, 4, "RIFX");
    EXPECT_EQ(Duration(notRiff), -1);
    QByteArray noRate = BankBuilder::Wave(QByteArray(100, '\0'));
    BankBuilder::Put32(noRate, 24, 0);
    EXPECT_EQ(Duration(noRate), -1);
    QByteArray noFormat =
        QByteArray("RIFF") + QByteArray(4, '\0') + "WAVE" + Chunk("data", QByteArray(10, '\0'));
    EXPECT_EQ(Duration(noFormat), -1);
    EXPECT_EQ(Duration(QByteArray("RIFF")), -1);
    EXPECT_EQ(Duration(QByteArray()), -1);
}

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

} // namespace
