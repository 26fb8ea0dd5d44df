// The editor started as "kantel BANK": this program's QApplication gets the
// bank's path as its one argument.

#include "EditorTestKit.h"

#include <QDir>

namespace {

// Where the bank named on the command line lives; each test writes it
// there (or not) before it starts the editor.
QString CommandLineFolder() {
    static const QString path = QDir::tempPath() + QStringLiteral("/kantel-command-line-") +
                                QString::number(QCoreApplication::applicationPid());
    return path;
}

QString CommandLineBank() {
    return CommandLineFolder() + QStringLiteral("/Bnk_1.bnm");
}

const bool g_bankOnCommandLine = [] {
    WindowTestEnvironment::Arguments() = QStringList{CommandLineBank()};
    return true;
}();

class CommandLine : public EditorTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(g_bankOnCommandLine);
        QDir(CommandLineFolder()).removeRecursively();
        PrepareFolder();
    }
    void TearDown() override {
        EditorTest::TearDown();
        QDir(CommandLineFolder()).removeRecursively();
    }
};

TEST_F(CommandLine, BankNamedOnTheCommandLineOpensInAResourceView) {
    ASSERT_TRUE(CDemoBank::Write(CommandLineFolder()).isEmpty());
    ASSERT_TRUE(StartEditor());
    ASSERT_EQ(Windows().size(), 1);
    ASSERT_NE(ActiveResourceView(), nullptr);
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View"));
    EXPECT_EQ(ActiveResourceView()->GetListCtrl().GetItemCount(), 14);
    EXPECT_EQ(frame->GetMenuResourceId(), IDR_BNMTYPE);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(ActiveWindow()->isVisible());
    EXPECT_TRUE(prompts->prompts.isEmpty());
    // Opening wrote the banked samples out beside the bank.
    EXPECT_TRUE(QFileInfo::exists(CommandLineFolder() + QStringLiteral("/engidle.wav")));
}

TEST_F(CommandLine, BankThatCannotBeOpenedEndsTheStartAfterSayingWhy) {
    // The bank is missing: the failure is the open's own message box.
    QString message;
    dialogs.scripts << [&message](QDialog& box) {
        if (const auto* pBox = qobject_cast<QMessageBox*>(&box)) {
            message = pBox->text();
        }
    };
    EXPECT_FALSE(StartEditor());
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Kantel")});
    EXPECT_TRUE(message.contains(QStringLiteral("Bnk_1.bnm"))) << message.toStdString();
}

TEST_F(CommandLine, FileThatIsNoBankEndsTheStart) {
    ASSERT_TRUE(QDir().mkpath(CommandLineFolder()));
    QFile file(CommandLineBank());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bank");
    file.close();
    EXPECT_FALSE(StartEditor());
    EXPECT_EQ(dialogs.titles.size(), 1);
}

} // namespace
