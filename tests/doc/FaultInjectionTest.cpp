// Faults in the middle of a save or of writing out samples: whatever breaks,
// the bank on disk stays byte for byte what it was, the document keeps the
// user's edits and stays modified, the user hears of it once, and the same
// document saves once the cause is gone.
#include "BankBuilder.h"
#include "FileSizeLimit.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <unistd.h>

namespace {

// A folder with a file system of its own, mounted for the life of the object
// and only where the tests run as root (skipped elsewhere).
class Mount {
public:
    static std::unique_ptr<Mount> Tmpfs(const QString& path, int kilobytes) {
        return Make(path,
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), path});
    }
    static bool Run(const QStringList& arguments) {
        return QProcess::execute(QStringLiteral("mount"), arguments) == 0;
    }
    ~Mount() { QProcess::execute(QStringLiteral("umount"), {m_path}); }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

private:
    explicit Mount(QString path) : m_path(std::move(path)) {}
    static std::unique_ptr<Mount> Make(const QString& path, const QStringList& arguments) {
        if (::geteuid() != 0) {
            return nullptr;
        }
        QDir().mkpath(path);
        if (!Run(arguments)) {
            return nullptr;
        }
        return std::unique_ptr<Mount>(new Mount(path));
    }
    QString m_path;
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Three banked samples and an external one; the waves of the banked ones are
// written by the open.
QByteArray fourSamples() {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(3000, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(5000, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(7000, 3), true);
    b.AddSample(4, QStringLiteral("d.wav"), BankBuilder::Pattern(2000, 4), false);
    return b.Build();
}

struct Fault {
    const char* name;
    // Sets the fault up around a bank folder; false skips the case.
    std::function<bool(const QString& folder)> inject;
    std::function<void(const QString& folder)> remove;
};

// A disk filled up but for about room bytes.
Fault fullDisk(qint64 room) {
    return {"full disk",
            [room](const QString& at) {
                QFile filler(at + QStringLiteral("/filler"));
                if (!filler.open(QIODevice::WriteOnly)) {
                    return false;
                }
                const QByteArray block(4096, 'x');
                while (filler.write(block) == block.size() && filler.flush()) {
                }
                filler.close();
                return filler.resize(filler.size() - room);
            },
            [](const QString& at) { QFile::remove(at + QStringLiteral("/filler")); }};
}

// Root ignores permissions, so the folder is made read-only by its mount.
Fault readOnlyFolder() {
    return {"read-only folder",
            [](const QString& at) {
                return Mount::Run({QStringLiteral("-o"), QStringLiteral("remount,ro"), at});
            },
            [](const QString& at) {
                Mount::Run({QStringLiteral("-o"), QStringLiteral("remount,rw"), at});
            }};
}

// Runs scenario with fault in a tmpfs of kilobytes; skipped where nothing
// can be mounted.
void onOwnDisk(int kilobytes, const Fault& fault,
               void (*scenario)(const Fault& fault, const QString& folder)) {
    TestFolder folder;
    const QString disk = folder.FilePath(QStringLiteral("disk"));
    std::unique_ptr<Mount> mount = Mount::Tmpfs(disk, kilobytes);
    if (!mount) {
        GTEST_SKIP() << fault.name << ": needs root and mount";
    }
    scenario(fault, disk);
}

} // namespace

// The scenario every fault meets: an open bank with edits (a volume and
// All Banked), then a save that the fault breaks.
static void runSaveFault(const Fault& fault, const QString& folder) {
    RecordingPromptSink prompts;
    const QByteArray bank = fourSamples();
    const QString bankPath = folder + QStringLiteral("/Bnk_1.bnm");
    ASSERT_TRUE(writeFile(bankPath, bank));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/d.wav"),
                          BankBuilder::Wave(BankBuilder::Pattern(2000, 4))));
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bankPath));
    ASSERT_TRUE(prompts.prompts.isEmpty());
    SoundResource louder = doc.Resources()[0];
    louder.volume = 42;
    ASSERT_TRUE(doc.ReplaceResource(0, doc.Resources()[0], louder));
    doc.OnEditAllBanked();
    const QStringList entriesBefore = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    if (!fault.inject(folder)) {
        GTEST_SKIP() << fault.name << ": needs root and mount";
    }
    const bool saved = doc.OnSaveDocument(bankPath);
    EXPECT_FALSE(saved) << fault.name;
    EXPECT_EQ(readFile(bankPath), bank) << fault.name;
    EXPECT_TRUE(doc.IsModified()) << fault.name;
    EXPECT_EQ(doc.Resources()[0].volume, 42) << fault.name;
    EXPECT_EQ(doc.Resources()[3].storage, SoundResource::kStorageBank) << fault.name;
    EXPECT_EQ(prompts.prompts.size(), 1)
        << fault.name << ": " << prompts.Texts().join(QLatin1Char('|')).toStdString();
    // No temporary file of the failed save is left behind.
    fault.remove(folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), entriesBefore) << fault.name;

    prompts.prompts.clear();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath)) << fault.name;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(prompts.prompts.isEmpty()) << prompts.Texts().join(QLatin1Char('|')).toStdString();
    CKantelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(bankPath));
    EXPECT_EQ(again.Resources()[0].volume, 42);
    EXPECT_EQ(again.Resources()[3].storage, SoundResource::kStorageBank);
    const qint64 sampleData = again.Header()->sampleDataOffset;
    const QByteArray saved2 = readFile(bankPath);
    EXPECT_EQ(saved2.mid(sampleData + again.Resources()[3].offset, 2000),
              BankBuilder::Pattern(2000, 4));
    EXPECT_EQ(saved2.size(), static_cast<qsizetype>(again.Header()->fileLength));
}

TEST(SaveFaults, FileSizeLimitPartWay) {
    TestFolder folder;
    std::unique_ptr<FileSizeLimit> limit;
    runSaveFault({"file size limit",
                  [&limit](const QString&) {
                      limit = std::make_unique<FileSizeLimit>(12000);
                      return true;
                  },
                  [&limit](const QString&) { limit.reset(); }},
                 folder.Path());
}

TEST(SaveFaults, FullDisk) {
    // Leave room for less than a second copy of the bank, so the save starts
    // and fails part-way.
    onOwnDisk(128, fullDisk(8192), runSaveFault);
}

TEST(SaveFaults, FolderTheProgramMayNotWrite) {
    onOwnDisk(1024, readOnlyFolder(), runSaveFault);
}

TEST(SaveFaults, WaveFileVanishesBetweenOpenAndSave) {
    TestFolder folder;
    QByteArray kept;
    runSaveFault({"vanished wave",
                  [&kept](const QString& at) {
                      kept = readFile(at + QStringLiteral("/b.wav"));
                      return QFile::remove(at + QStringLiteral("/b.wav"));
                  },
                  [&kept](const QString& at) { writeFile(at + QStringLiteral("/b.wav"), kept); }},
                 folder.Path());
}

// Writing the wave files when a bank opens fails: the bank opens all the
// same, keeps the data of every sample that has no wave file, the user hears
// of it once, and the bank saves unchanged.
static void runExtractionFault(const Fault& fault, const QString& folder) {
    RecordingPromptSink prompts;
    const QByteArray bank = fourSamples();
    const QString bankPath = folder + QStringLiteral("/Bnk_1.bnm");
    ASSERT_TRUE(writeFile(bankPath, bank));
    // The external sample's wave is there, so the one message is the fault's.
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/d.wav"),
                          BankBuilder::Wave(BankBuilder::Pattern(2000, 4))));
    if (!fault.inject(folder)) {
        GTEST_SKIP() << fault.name << ": needs root and mount";
    }
    {
        CKantelDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(bankPath)) << fault.name;
        ASSERT_EQ(prompts.prompts.size(), 1)
            << fault.name << ": " << prompts.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(prompts.prompts[0].text.contains(QStringLiteral("not written")))
            << prompts.prompts[0].text.toStdString();
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/c.wav"))) << fault.name;
        EXPECT_EQ(readFile(bankPath), bank) << fault.name;
        // No half-written wave file is left behind.
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            EXPECT_FALSE(name.startsWith(QLatin1Char('.')))
                << fault.name << ": " << name.toStdString();
        }
        fault.remove(folder);
        prompts.prompts.clear();
        ASSERT_TRUE(doc.OnSaveDocument(bankPath)) << fault.name;
        EXPECT_TRUE(prompts.prompts.isEmpty())
            << prompts.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(readFile(bankPath), bank) << fault.name;
    }
    // Opened again with room, the wave files are written.
    CKantelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(bankPath));
    EXPECT_TRUE(prompts.prompts.isEmpty()) << prompts.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(readFile(folder + QStringLiteral("/c.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(7000, 3)));
}

TEST(ExtractionFaults, FullDisk) {
    // Room for the first wave file only.
    onOwnDisk(64, fullDisk(4096), runExtractionFault);
}

TEST(ExtractionFaults, FolderTheProgramMayNotWrite) {
    onOwnDisk(1024, readOnlyFolder(), runExtractionFault);
}
