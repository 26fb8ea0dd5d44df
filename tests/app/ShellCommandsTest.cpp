#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "app/ShellCommands.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CShellOpener.h"
#include "framework/ui/CShellOpenerGuard.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace {

class ScriptedOpener final : public IShellOpener {
public:
    explicit ScriptedOpener(int result) : m_result(result) {}
    int Open(const QString& name) override {
        names << name;
        return m_result;
    }
    QStringList names;

private:
    int m_result;
};

QString messageFor(int code, const char* errorText) {
    RecordingPromptSink prompts;
    ScriptedOpener opener(code);
    CShellOpenerGuard guard(&opener);
    OpenWithShell("Kantel.txt", errorText);
    EXPECT_EQ(opener.names, QStringList{QStringLiteral("Kantel.txt")});
    if (prompts.prompts.isEmpty()) {
        return QString();
    }
    EXPECT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts.first().type, MB_OK | MB_ICONHAND);
    return prompts.prompts.first().text;
}

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
    EXPECT_EQ(messageFor(32, nullptr), QStringLiteral("Cannot execute (error code 32)"));
    EXPECT_EQ(messageFor(33, text), QString());
}

TEST(ShellCommands, TheRealOpenerReportsMissingFilesAndFolders) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    TestFolder folder;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(folder.Path());
    CShellOpener opener;
    EXPECT_EQ(opener.Open(QStringLiteral("Kantel.txt")), CShellOpener::kFileNotFound);
    EXPECT_EQ(opener.Open(QStringLiteral("no/such/folder/Kantel.txt")),
              CShellOpener::kPathNotFound);
    QDir::setCurrent(saved);
}
