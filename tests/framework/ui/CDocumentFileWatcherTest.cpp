#include "DialogDriver.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CDocument.h"
#include "framework/ui/CDocumentFileWatcher.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileSystemWatcher>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class WatchedDocument : public CDocument {
public:
    void OnFileChangedOnDisk() override { ++told; }
    int told = 0;
};

// Runs the event loop until done() or a generous bound has passed; the bound
// only keeps a broken watcher from hanging the suite.
template <class Done> bool waitFor(Done done) {
    return QTest::qWaitFor(done, 10000);
}

// Writes path anew the way a save does: a new file renamed into its place.
void replace(const QString& path, const QByteArray& bytes) {
    QFile file(path + QStringLiteral(".new"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData());
}

} // namespace

// A save by another program renames a new file over the bank, after which a
// plain watch sees nothing more: the second save must be told as well. And a
// question must not pop up under an open dialog.
TEST(CDocumentFileWatcher, EveryReplacementIsToldAndNoneUnderADialog) {
    DialogDriver::EnsureApplication();
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("Bnk_1.bnm"), "one");
    WatchedDocument document;
    document.SetPathName(path);
    CDocumentFileWatcher watcher([&] { return QList<CDocument*>{&document}; });
    watcher.Sync();
    document.told = 0;

    replace(path, "two");
    ASSERT_TRUE(waitFor([&] { return document.told > 0; }));
    const int afterFirst = document.told;
    replace(path, "three");
    EXPECT_TRUE(waitFor([&] { return document.told > afterFirst; }));

    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(waitFor([] { return QApplication::activeModalWidget() != nullptr; }));
    const int beforeDialog = document.told;
    // The watcher's own slot runs before the spy's, so once the spy has the
    // notice the change is pending; the look that follows must keep it back.
    auto* notices = watcher.findChild<QFileSystemWatcher*>();
    ASSERT_NE(notices, nullptr);
    QSignalSpy noticed(notices, &QFileSystemWatcher::fileChanged);
    replace(path, "four");
    ASSERT_TRUE(waitFor([&] { return !noticed.isEmpty(); }));
    watcher.Sync();
    EXPECT_EQ(document.told, beforeDialog);
    dialog.close();
    EXPECT_TRUE(waitFor([&] { return document.told > beforeDialog; }));
}
