#include "FixedVersionRecord.h"
#include "QtPrinters.h"

#include "app/CHelpAndVersion.h"
#include "app/CVersionInfo.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

struct BareRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a built program as a package build or an ssh session would: no
// DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM, nothing but PATH.
BareRun runBare(const QString& program, const QStringList& arguments) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    BareRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << qPrintable(program) << " did not finish normally";
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

struct Answered {
    std::optional<int> status;
    QString out;
    QString err;
};

Answered answer(const QStringList& arguments) {
    Answered result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = CHelpAndVersion::Answer(arguments, out, err);
    return result;
}

} // namespace

TEST(HelpAndVersion, TheEditorAnswersWithoutADisplay) {
    const QString editor = QStringLiteral(KANTEL_BINARY);
    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const BareRun version = runBare(editor, {option});
        EXPECT_EQ(version.exitCode, 0) << qPrintable(version.err);
        EXPECT_EQ(version.out, QStringLiteral("kantel " KANTEL_VERSION "\n"));
        EXPECT_EQ(version.err, QString());
    }
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const BareRun help = runBare(editor, {QStringLiteral("some.bnm"), option});
        EXPECT_EQ(help.exitCode, 0) << qPrintable(help.err);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: kantel [options] [BANK]\n")));
        EXPECT_TRUE(help.out.contains(QStringLiteral("--version")));
        EXPECT_EQ(help.err, QString());
    }
}

// The editor, the command-line tool and the About box's record show one
// version, the one the build (and with it the package) was given.
TEST(HelpAndVersion, EditorToolAndAboutBoxShowOneVersion) {
    const BareRun editor = runBare(QStringLiteral(KANTEL_BINARY), {QStringLiteral("--version")});
    const BareRun tool = runBare(QStringLiteral(KANTEL_CLI_BINARY), {QStringLiteral("--version")});
    EXPECT_EQ(tool.exitCode, 0);
    EXPECT_EQ(editor.out.section(u' ', 1), tool.out.section(u' ', 1));
    CVersionInfo info;
    ASSERT_TRUE(info.Load());
    EXPECT_EQ(editor.out, QStringLiteral("kantel ") + info.GetFileVersion() + u'\n');
}

TEST(HelpAndVersion, OtherArgumentsStartTheEditor) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{QStringLiteral("Bnk_1.bnm")},
          QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen")},
          QStringList{QStringLiteral("--helpful.bnm")}}) {
        const Answered answered = answer(arguments);
        EXPECT_FALSE(answered.status.has_value()) << qPrintable(arguments.join(u' '));
        EXPECT_EQ(answered.out, QString());
    }
}

TEST(HelpAndVersion, AnUnreadableVersionRecordIsAFailure) {
    const Answered answered = [] {
        const FixedVersionRecord none("");
        return answer({QStringLiteral("--version")});
    }();
    EXPECT_EQ(answered.status, 1);
    EXPECT_EQ(answered.out, QString());
    EXPECT_TRUE(answered.err.contains(QStringLiteral("Error reading version resource")));
}
