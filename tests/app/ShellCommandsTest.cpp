#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedShellOpener.h"
#include "TestFolder.h"

#include "app/CKantelApp.h"
#include "app/ShellCommands.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CShellOpener.h"
#include "res/resource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString messageFor(int code, const char* errorText) {
    RecordingPromptSink prompts;
    ScriptedShellOpener opener(code);
    OpenWithShell("Kantel.txt", errorText);
    EXPECT_EQ(opener.names, QStringList{QStringLiteral("Kantel.txt")});
    if (prompts.prompts.isEmpty()) {
        return QString();
    }
    EXPECT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts.first().type, MB_OK | MB_ICONHAND);
    return prompts.prompts.first().text;
}

// Runs a test in a current folder of its own.
class InFolder {
public:
    InFolder() : m_saved(QDir::currentPath()) { QDir::setCurrent(folder.Path()); }
    ~InFolder() { QDir::setCurrent(m_saved); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

    TestFolder folder;

private:
    QString m_saved;
};

} // namespace

TEST(ShellCommands, FailureCodesBecomeReasons) {
    const char* text = "Error opening file 'Kantel.txt'";
    EXPECT_EQ(messageFor(2, text),
              QStringLiteral("Error opening file 'Kantel.txt' (file not found)"));
    EXPECT_EQ(messageFor(3, text),
              QStringLiteral("Error opening file 'Kantel.txt' (file not found)"));
    EXPECT_EQ(messageFor(5, text),
              QStringLiteral("Error opening file 'Kantel.txt' (access denied)"));
    EXPECT_EQ(messageFor(26, text),
              QStringLiteral("Error opening file 'Kantel.txt' (sharing violation)"));
    EXPECT_EQ(messageFor(31, text),
              QStringLiteral("Error opening file 'Kantel.txt' "
                             "(no application associated with this extension)"));
    EXPECT_EQ(messageFor(8, text),
              QStringLiteral("Error opening file 'Kantel.txt' (error code 8)"));
    EXPECT_EQ(messageFor(0, text),
              QStringLiteral("Error opening file 'Kantel.txt' (error code 0)"));
    EXPECT_EQ(messageFor(32, nullptr), QStringLiteral("Cannot execute (error code 32)"));
    EXPECT_EQ(messageFor(33, text), QString());
}

TEST(ShellCommands, ReportWithoutTextSaysCannotExecute) {
    RecordingPromptSink prompts;
    ReportShellError(31, nullptr);
    EXPECT_EQ(prompts.Texts(),
              QStringList{QStringLiteral("Cannot execute (no application associated with this "
                                         "extension)")});
}

// --- The Help and Home Page commands --------------------------------------

class HelpCommands : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }
    void run(int nID) { EXPECT_TRUE(app.OnCmdMsg(nID, CN_COMMAND, nullptr)); }

    CKantelApp app;
    RecordingPromptSink prompts;
    InFolder current;
};

TEST_F(HelpCommands, HelpOpensTheHelpFileOfTheCurrentFolderFirst) {
    current.folder.Write(QStringLiteral("Kantel.txt"), "local help");
    ScriptedShellOpener opener(42);
    run(ID_HELP_INDEX);
    EXPECT_EQ(opener.names, QStringList{QStringLiteral("Kantel.txt")});
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(HelpCommands, WithoutOneThereTheProgramsOwnCopyIsOpened) {
    ScriptedShellOpener opener(42);
    run(ID_HELP_INDEX);
    ASSERT_EQ(opener.names.size(), 1);
    const QFileInfo help(opener.names.first());
    EXPECT_TRUE(help.isAbsolute());
    EXPECT_EQ(help.fileName(), QStringLiteral("Kantel.txt"));
    QFile file(help.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("Kantel"));
}

TEST_F(HelpCommands, FailuresAreExplainedWithTheCommandsOwnText) {
    ScriptedShellOpener opener(2);
    run(ID_HELP_INDEX);
    ScriptedShellOpener noBrowser(31);
    run(ID_HELP_HOMEPAGE);
    EXPECT_EQ(noBrowser.names, QStringList{QStringLiteral(KANTEL_HOMEPAGE_URL)});
    EXPECT_EQ(prompts.Texts(),
              (QStringList{QStringLiteral("Error opening file 'Kantel.txt' (file not found)"),
                           QStringLiteral("Error opening home page (no application associated "
                                          "with this extension)")}));
}

TEST_F(HelpCommands, MissingHelpFileWithTheRealShell) {
    // What a user sees when the file is gone: the real opener's code, the
    // message of the table.
    OpenWithShell("Kantel.txt", "Error opening file 'Kantel.txt'");
    EXPECT_EQ(prompts.Texts(),
              QStringList{QStringLiteral("Error opening file 'Kantel.txt' (file not found)")});
}

// --- The real opener, on a desktop of the test's own ----------------------

// xdg-mime and xdg-open stand-ins in a folder that is all of $PATH: they note
// their arguments and answer as told.
class FakeDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        m_savedPath = qgetenv("PATH");
        qputenv("PATH", bin.Path().toLocal8Bit());
    }
    void TearDown() override { qputenv("PATH", m_savedPath); }

    void tool(const QString& name, const QByteArray& body) {
        const QString path =
            bin.Write(name, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" +
                                log.FilePath(name + QStringLiteral(".args")).toLocal8Bit() + "'\n" +
                                body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void defaultApplication(const QByteArray& desktopFile) {
        tool(QStringLiteral("xdg-mime"), "echo '" + desktopFile + "'");
    }
    void openExits(int status) {
        tool(QStringLiteral("xdg-open"), "exit " + QByteArray::number(status));
    }
    QString args(const QString& toolName) const {
        const QString name = toolName + QStringLiteral(".args");
        return log.Exists(name) ? QString::fromLocal8Bit(log.Read(name)).trimmed() : QString();
    }

    TestFolder bin;
    TestFolder log;
    TestFolder files;
    CShellOpener opener;

private:
    QByteArray m_savedPath;
};

TEST_F(FakeDesktop, NoOpenToolMeansNoApplication) {
    const QString help = files.Write(QStringLiteral("Kantel.txt"), "help");
    EXPECT_EQ(opener.Open(help), CShellOpener::kNoAssociation);
    EXPECT_EQ(opener.Open(QStringLiteral("https://www.example.org/")),
              CShellOpener::kNoAssociation);
}

TEST_F(FakeDesktop, NoDefaultApplicationForTheTypeMeansNoApplication) {
    const QString help = files.Write(QStringLiteral("Kantel.txt"), "help");
    defaultApplication("");
    openExits(0);
    EXPECT_EQ(opener.Open(help), CShellOpener::kNoAssociation);
    EXPECT_EQ(args(QStringLiteral("xdg-mime")), QStringLiteral("query default text/plain"));
    // The desktop was not asked to open what it has nothing for.
    EXPECT_EQ(args(QStringLiteral("xdg-open")), QString());
}

TEST_F(FakeDesktop, AddressesNeedNoHandlerOfTheDesktopWhenABrowserIsFound) {
    // No handler for https registered, but xdg-open finds a browser of the
    // system; without one it says so.
    defaultApplication("");
    openExits(0);
    EXPECT_GT(opener.Open(QStringLiteral("https://www.example.org/kantel/")), 32);
    openExits(3);
    EXPECT_EQ(opener.Open(QStringLiteral("https://www.example.org/kantel/")),
              CShellOpener::kNoAssociation);
}

TEST_F(FakeDesktop, FilesAndAddressesGoToTheirApplications) {
    InFolder current;
    current.folder.Write(QStringLiteral("Kantel.txt"), "help");
    defaultApplication("org.example.Editor.desktop");
    openExits(0);
    EXPECT_GT(opener.Open(QStringLiteral("Kantel.txt")), 32);
    EXPECT_GT(opener.Open(QStringLiteral("https://www.example.org/kantel/")), 32);
    // A relative name is the current folder's file, handed over in full.
    EXPECT_EQ(args(QStringLiteral("xdg-open")),
              QDir(current.folder.Path()).filePath(QStringLiteral("Kantel.txt")) +
                  QStringLiteral("\nhttps://www.example.org/kantel/"));
    EXPECT_EQ(args(QStringLiteral("xdg-mime")), QStringLiteral("query default text/plain"));
}

TEST_F(FakeDesktop, OpenToolFailuresBecomeShellCodes) {
    const QString help = files.Write(QStringLiteral("Kantel.txt"), "help");
    defaultApplication("org.example.Editor.desktop");
    openExits(2);
    EXPECT_EQ(opener.Open(help), CShellOpener::kFileNotFound);
    openExits(3);
    EXPECT_EQ(opener.Open(help), CShellOpener::kNoAssociation);
    openExits(4);
    EXPECT_LE(opener.Open(help), 32);
}

TEST_F(FakeDesktop, MissingFilesAndFoldersAreReportedBeforeAskingTheDesktop) {
    InFolder current;
    defaultApplication("org.example.Editor.desktop");
    openExits(0);
    EXPECT_EQ(opener.Open(QStringLiteral("Kantel.txt")), CShellOpener::kFileNotFound);
    EXPECT_EQ(opener.Open(QStringLiteral("no/such/folder/Kantel.txt")),
              CShellOpener::kPathNotFound);
    EXPECT_EQ(args(QStringLiteral("xdg-open")), QString());
}

TEST_F(FakeDesktop, UnreadableFileIsAccessDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "every file is readable to root";
    }
    const QString help = files.Write(QStringLiteral("Kantel.txt"), "help");
    QFile::setPermissions(help, QFile::WriteOwner);
    defaultApplication("org.example.Editor.desktop");
    openExits(0);
    EXPECT_EQ(opener.Open(help), CShellOpener::kAccessDenied);
}
