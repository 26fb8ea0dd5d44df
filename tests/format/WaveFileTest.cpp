#include "BankBuilder.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "format/CWaveFile.h"

#include "framework/core/CFile.h"

#include <gtest/gtest.h>

namespace {

struct Found {
    bool ok;
    qint64 offset;
    qint64 size;
};

Found find(const QByteArray& bytes) {
    TestFolder folder;
    CFile file;
    if (!file.Open(folder.Write(QStringLiteral("w.wav"), bytes), CFile::modeRead)) {
        return {false, -1, -1};
    }
    Found found{false, -1, -1};
    found.ok = CWaveFile::FindDataChunk(file, &found.offset, &found.size);
    return found;
}

QByteArray chunk(const char* id, quint32 size, const QByteArray& body) {
    QByteArray bytes(id, 4);
    bytes += QByteArray(4, '\0');
    BankBuilder::Put32(bytes, 4, size);
    return bytes + body;
}

} // namespace

TEST(WaveFileData, PlainHeaderGivesTheBytesAfter44) {
    const Found f = find(BankBuilder::Wave(BankBuilder::Pattern(10, 1)));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.offset, 44);
    EXPECT_EQ(f.size, 10);
}

TEST(WaveFileData, NotAWaveFile) {
    EXPECT_FALSE(find(QByteArray()).ok);
    EXPECT_FALSE(find(QByteArray("RIFF\0\0\0\0WAV", 11)).ok);
    EXPECT_FALSE(find(QByteArray("RIFX\0\0\0\0WAVE", 12) + chunk("data", 1, "x")).ok);
    EXPECT_FALSE(find(QByteArray("RIFF\0\0\0\0AVI ", 12) + chunk("data", 1, "x")).ok);
}

TEST(WaveFileData, NoDataChunkOrATruncatedChunkHeader) {
    const QByteArray riff("RIFF\0\0\0\0WAVE", 12);
    EXPECT_FALSE(find(riff).ok);
    EXPECT_FALSE(find(riff + chunk("fmt ", 4, "abcd")).ok);
    EXPECT_FALSE(find(riff + chunk("fmt ", 4, "abcd") + QByteArray("data", 4)).ok);
}

TEST(WaveFileData, ChunkSizesThatRunPastTheFileEndTheSearch) {
    const QByteArray riff("RIFF\0\0\0\0WAVE", 12);
    EXPECT_FALSE(find(riff + chunk("LIST", 0xFFFFFFFFU, "xx") + chunk("data", 2, "dd")).ok);
    const Found f = find(riff + chunk("data", 0xFFFFFFFFU, "abc"));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.offset, 20);
    EXPECT_EQ(f.size, 3);
}

TEST(WaveFileData, OddChunksArePaddedAndEmptyChunksSkipped) {
    const QByteArray riff("RIFF\0\0\0\0WAVE", 12);
    const Found f = find(riff + chunk("LIST", 3, QByteArray("abc\0", 4)) + chunk("JUNK", 0, "") +
                         chunk("data", 4, "wxyz") + chunk("smpl", 2, "zz"));
    EXPECT_TRUE(f.ok);
    EXPECT_EQ(f.offset, 12 + 12 + 8 + 8);
    EXPECT_EQ(f.size, 4);
}
