#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "RecordingView.h"
#include "TestFolder.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CArchive.h"
#include "framework/core/CDocument.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Loads the file's bytes and stores the bytes it holds; a test can make the
// storing fail part-way.
class ByteDocument final : public CDocument {
public:
    void Serialize(CArchive& archive) override {
        ++serializeCalls;
        CFile& file = *archive.GetFile();
        if (archive.IsLoading()) {
            bytes.resize(static_cast<qsizetype>(file.GetLength()));
            file.Read(bytes.data(), bytes.size());
            return;
        }
        file.Write(bytes.constData(), bytes.size());
        if (throwAfterWrite) {
            throw CFileException(CFileException::hardIO, file.GetFilePath());
        }
    }
    void DeleteContents() override {
        ++deleteCalls;
        bytes.clear();
    }

    QByteArray bytes;
    int serializeCalls = 0;
    int deleteCalls = 0;
    bool throwAfterWrite = false;
};

const QByteArray kOld("old bank bytes");

} // namespace

TEST(CDocumentOpen, EmptyFileOpensWithoutLoading) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("empty.bnm"), QByteArray());
    RecordingPromptSink prompts;
    ByteDocument doc;
    EXPECT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.serializeCalls, 0);
    EXPECT_EQ(doc.deleteCalls, 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST(CDocumentOpen, MissingFileIsReportedOnceAndLeavesTheDocumentAlone) {
    TestFolder folder;
    RecordingPromptSink prompts;
    ByteDocument doc;
    doc.bytes = "kept";
    EXPECT_FALSE(doc.OnOpenDocument(folder.FilePath(QStringLiteral("gone.bnm"))));
    EXPECT_EQ(doc.deleteCalls, 0);
    EXPECT_EQ(doc.bytes, QByteArray("kept"));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("gone.bnm"))));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONHAND);
}

TEST(CDocumentOpen, LoadsAndClearsTheModifiedFlag) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("b.bnm"), kOld);
    ByteDocument doc;
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.bytes, kOld);
    EXPECT_FALSE(doc.IsModified());
}

TEST(CDocumentSave, SuccessReplacesTheFileAndClearsTheModifiedFlag) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("b.bnm"), kOld);
    RecordingPromptSink prompts;
    ByteDocument doc;
    doc.bytes = "new bytes";
    doc.SetModifiedFlag(true);
    EXPECT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(folder.Read(QStringLiteral("b.bnm")), QByteArray("new bytes"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST(CDocumentSave, ErrorDuringSerializeKeepsTheOldFileAndTheModifiedFlag) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("b.bnm"), kOld);
    RecordingPromptSink prompts;
    ByteDocument doc;
    doc.bytes = "half";
    doc.throwAfterWrite = true;
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(folder.Read(QStringLiteral("b.bnm")), kOld);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("b.bnm")});
}

TEST(CDocumentSave, DiskFullPartWayKeepsTheOldFile) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("b.bnm"), kOld);
    RecordingPromptSink prompts;
    ByteDocument doc;
    doc.bytes = QByteArray(32 * 1024, 'z');
    doc.SetModifiedFlag(true);
    bool saved = true;
    {
        FileSizeLimit limit(1000);
        saved = doc.OnSaveDocument(path);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(folder.Read(QStringLiteral("b.bnm")), kOld);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(path));
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("b.bnm")});
}

TEST(CDocumentSave, TargetThatIsAFolderOrInAMissingFolderIsReported) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("sub")));
    ByteDocument doc;
    doc.bytes = "x";
    doc.SetModifiedFlag(true);
    for (const QString& target :
         {folder.FilePath(QStringLiteral("sub")), folder.FilePath(QStringLiteral("no/b.bnm"))}) {
        RecordingPromptSink prompts;
        EXPECT_FALSE(doc.OnSaveDocument(target)) << qPrintable(target);
        EXPECT_EQ(prompts.prompts.size(), 1) << qPrintable(target);
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_TRUE(QFileInfo(folder.FilePath(QStringLiteral("sub"))).isDir());
}

TEST(CDocumentViews, UpdateReachesEveryViewButTheSender) {
    ByteDocument doc;
    RecordingView a(doc);
    RecordingView b(doc);
    doc.UpdateAllViews(&a);
    EXPECT_EQ(a.updates, 0);
    EXPECT_EQ(b.updates, 1);
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(a.updates, 1);
    EXPECT_EQ(b.updates, 2);
}

TEST(CDocumentViews, ViewRemovedDuringAnUpdateIsNotCalledAfterwards) {
    ByteDocument doc;
    RecordingView first(doc);
    auto second = std::make_unique<RecordingView>(doc);
    first.onUpdate = [&] { second.reset(); };
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(first.updates, 1);
    EXPECT_EQ(doc.GetViews().size(), 1);
}

TEST(CDocumentTitle, PathNameGivesTheTitleAndAnAbsolutePath) {
    ByteDocument doc;
    doc.SetPathName(QStringLiteral("banks/Bnk_2.bnm"));
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Bnk_2.bnm"));
    EXPECT_TRUE(QFileInfo(doc.GetPathName()).isAbsolute());
    EXPECT_TRUE(doc.GetPathName().endsWith(QStringLiteral("/banks/Bnk_2.bnm")));
}
