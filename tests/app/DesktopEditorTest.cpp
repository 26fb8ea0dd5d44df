#include "BankBuilder.h"
#include "TestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

// The real programs as a user runs them: the editor on an X server of its own
// with a window manager, driven through xdotool, and kantel-cli, for what
// only a whole program shows: how it ends.

namespace {

// Generous: a sanitizer build of the editor takes its time to start. These
// bound the waits; nothing is measured.
constexpr int kWaitMs = 60000;

int Argc = 1;
char ArgvName[] = "test";
char* Argv[] = {ArgvName, nullptr};

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// A bank whose one banked sample is written out as a wave file of about
// waveBytes when the bank is opened.
QByteArray BankWithSample(int waveBytes) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(10, QStringLiteral("engine.wav"), BankBuilder::Pattern(waveBytes, 1), true);
    return b.Build();
}

// In a child about to run a program, as `ulimit -f` in a shell: the largest
// file it may write, and SIGXFSZ at its default action, which ends the
// program unless the program itself ignores it.
void LimitFileSize(rlim_t bytes) {
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_DFL);
}

bool WindowManagerRunning(const QByteArray& display) {
    Display* pDisplay = XOpenDisplay(display.constData());
    if (pDisplay == nullptr) {
        return false;
    }
    bool running = false;
    const Atom check = XInternAtom(pDisplay, "_NET_SUPPORTING_WM_CHECK", True);
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(pDisplay, DefaultRootWindow(pDisplay), check, 0, 1, False, XA_WINDOW,
                               &type, &format, &count, &after, &data) == Success &&
            data != nullptr) {
            running = count == 1;
            XFree(data);
        }
    }
    XCloseDisplay(pDisplay);
    return running;
}

// Where the top-level window holding client stands among the screen's
// windows, bottom first (the window manager puts each client in a frame of
// its own); -1 when there is no such window.
int StackingIndex(const QByteArray& display, unsigned long client) {
    Display* pDisplay = XOpenDisplay(display.constData());
    if (pDisplay == nullptr) {
        return -1;
    }
    const Window root = DefaultRootWindow(pDisplay);
    Window topLevel = client;
    for (;;) {
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(pDisplay, topLevel, &rootReturn, &parent, &children, &count) == 0) {
            topLevel = 0;
            break;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root || parent == 0) {
            break;
        }
        topLevel = parent;
    }
    int index = -1;
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (topLevel != 0 && XQueryTree(pDisplay, root, &rootReturn, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            if (children[i] == topLevel) {
                index = static_cast<int>(i);
            }
        }
        XFree(children);
    }
    XCloseDisplay(pDisplay);
    return index;
}

// An X server with openbox on a display nobody uses, settings, Wine prefix
// and runtime folder of the test's own, and the editor started on it.
class DesktopEditor : public ::testing::Test {
protected:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            m_app = std::make_unique<QCoreApplication>(Argc, Argv);
        }
        for (const char* tool : {"Xvfb", "openbox", "xdotool"}) {
            ASSERT_FALSE(Tool(tool).isEmpty()) << tool << " is missing: run scripts/setup";
        }
        // The server picks a free display and names it on its standard output.
        m_server = Start(Tool("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                        QStringLiteral("-screen"), QStringLiteral("0"),
                                        QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp")});
        m_server->setReadChannel(QProcess::StandardOutput);
        ASSERT_TRUE(WaitFor([&] {
            m_server->waitForReadyRead(100);
            return m_server->canReadLine() || m_server->state() == QProcess::NotRunning;
        }));
        const QByteArray number = m_server->readLine().trimmed();
        ASSERT_FALSE(number.isEmpty()) << "Xvfb did not start";
        m_display = QStringLiteral(":") + QString::fromLatin1(number);
        m_windowManager = Start(Tool("openbox"), {});
        ASSERT_TRUE(WaitFor([&] {
            return WindowManagerRunning(m_display.toLatin1()) ||
                   m_windowManager->waitForFinished(0);
        }));
        ASSERT_TRUE(WindowManagerRunning(m_display.toLatin1()))
            << "openbox ended: " << Ending(*m_windowManager);
    }

    void TearDown() override {
        // The editor first, then the window manager, then the server.
        for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
            QProcess& process = **it;
            if (process.state() != QProcess::NotRunning) {
                process.terminate();
                if (!process.waitForFinished(5000)) {
                    process.kill();
                    process.waitForFinished(5000);
                }
            }
        }
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("KANTEL_INSTANCE_KEY"), QStringLiteral("none"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.Path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.Path());
        env.insert(QStringLiteral("WINEPREFIX"), prefix.Path());
        return env;
    }

    // Starts program with the session's environment; stopped at the end.
    // fileSizeLimit, when not 0, is the largest file it may write.
    QProcess* Start(const QString& program, const QStringList& arguments,
                    rlim_t fileSizeLimit = 0) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(Environment());
        process->setWorkingDirectory(banks.Path());
        process->setProcessChannelMode(program == Tool("Xvfb") ? QProcess::ForwardedErrorChannel
                                                               : QProcess::ForwardedOutputChannel);
        if (fileSizeLimit != 0) {
            process->setChildProcessModifier([fileSizeLimit] { LimitFileSize(fileSizeLimit); });
        }
        process->start(program, arguments);
        process->waitForStarted(kWaitMs);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // xdotool with arguments; its output, trimmed.
    QString XDoTool(const QStringList& arguments) const {
        QProcess tool;
        tool.setProcessEnvironment(Environment());
        tool.start(Tool("xdotool"), arguments);
        tool.waitForFinished(kWaitMs);
        return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    }

    // The first visible window whose title matches the pattern, once one is
    // there; empty when editor ended first or none came.
    QString WaitForWindow(const QString& pattern, QProcess& editor) const {
        QString window;
        WaitFor([&] {
            window = XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), pattern})
                         .section(u'\n', 0, 0);
            return !window.isEmpty() || editor.waitForFinished(0);
        });
        return window;
    }

    // The visible windows of editor other than window.
    QStringList OtherWindows(const QProcess& editor, const QString& window) const {
        QStringList others = XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--pid"), QString::number(editor.processId())})
                                 .split(u'\n', Qt::SkipEmptyParts);
        others.removeAll(window);
        return others;
    }

    // Activates window and types a key into it.
    void Type(const QString& window, const QString& key) const {
        XDoTool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        XDoTool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
    }

    // File > Exit from the keyboard, as the menu's mnemonics have it: x goes
    // to the File menu once the menu is shown, as a window of the editor's own.
    void ExitThroughTheMenu(const QProcess& editor, const QString& window) const {
        const qsizetype before = OtherWindows(editor, window).size();
        Type(window, QStringLiteral("alt+f"));
        WaitFor([&] { return OtherWindows(editor, window).size() > before; });
        XDoTool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("x")});
    }

    static bool WaitFor(const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > kWaitMs) {
                return false;
            }
            QThread::msleep(100);
        }
        return true;
    }

    // How a program ended, for the messages.
    static std::string Ending(const QProcess& process) {
        return process.exitStatus() == QProcess::CrashExit
                   ? "a crash"
                   : "exit " + std::to_string(process.exitCode());
    }

    QByteArray DisplayName() const { return m_display.toLatin1(); }

    TestFolder banks;
    TestFolder runtime;
    TestFolder config;
    TestFolder prefix;

private:
    std::unique_ptr<QCoreApplication> m_app;
    QString m_display;
    QProcess* m_server = nullptr;
    QProcess* m_windowManager = nullptr;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace

TEST_F(DesktopEditor, ExitFromTheFileMenuEndsWithStatusZero) {
    banks.Write(QStringLiteral("Bnk_1.bnm"), BankWithSample(4000));
    // Twice: the second start finds the settings the first one saved at exit.
    for (int run = 0; run < 2; ++run) {
        QProcess* editor = Start(QStringLiteral(KANTEL_BINARY), {QStringLiteral("Bnk_1.bnm")});
        const QString window = WaitForWindow(QStringLiteral("^Kantel - Bnk_1.bnm$"), *editor);
        ASSERT_FALSE(window.isEmpty())
            << "run " << run << ": no editor window, " << Ending(*editor);
        ExitThroughTheMenu(*editor, window);
        ASSERT_TRUE(editor->waitForFinished(kWaitMs)) << "run " << run << ": still running";
        EXPECT_EQ(editor->exitStatus(), QProcess::NormalExit) << "run " << run;
        EXPECT_EQ(editor->exitCode(), 0) << "run " << run;
    }
}

TEST_F(DesktopEditor, ToolbarLeftFloatingComesBackAboveTheMainWindow) {
    banks.Write(QStringLiteral("Bnk_1.bnm"), BankWithSample(4000));
    QProcess* editor = Start(QStringLiteral(KANTEL_BINARY), {QStringLiteral("Bnk_1.bnm")});
    QString window = WaitForWindow(QStringLiteral("^Kantel - Bnk_1.bnm$"), *editor);
    ASSERT_FALSE(window.isEmpty()) << Ending(*editor);
    // The toolbar's handle lies at its left end, under the menu bar; it is
    // let go in the middle of the window, far from every dock area.
    XDoTool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    XDoTool(QStringLiteral("mousemove --window %1 6 35 mousedown 1 sleep 0.3 "
                           "mousemove_relative 175 125 sleep 0.3 "
                           "mousemove_relative 175 125 sleep 0.3 mouseup 1")
                .arg(window)
                .split(u' '));
    ASSERT_TRUE(WaitFor([&] { return !OtherWindows(*editor, window).isEmpty(); }))
        << "the drag did not float the toolbar";
    ExitThroughTheMenu(*editor, window);
    ASSERT_TRUE(editor->waitForFinished(kWaitMs));

    editor = Start(QStringLiteral(KANTEL_BINARY), {QStringLiteral("Bnk_1.bnm")});
    window = WaitForWindow(QStringLiteral("^Kantel - Bnk_1.bnm$"), *editor);
    ASSERT_FALSE(window.isEmpty()) << Ending(*editor);
    QStringList toolbar;
    ASSERT_TRUE(WaitFor([&] {
        toolbar = OtherWindows(*editor, window);
        return !toolbar.isEmpty();
    })) << "the toolbar was not restored floating";
    // The window manager stacks what it was given in its own time.
    int main = -1;
    int bar = -1;
    WaitFor([&] {
        main = StackingIndex(DisplayName(), window.toULong());
        bar = StackingIndex(DisplayName(), toolbar.first().toULong());
        return main >= 0 && bar > main;
    });
    ASSERT_GE(main, 0);
    EXPECT_GT(bar, main) << "the floating toolbar is behind the main window";
    ExitThroughTheMenu(*editor, window);
    ASSERT_TRUE(editor->waitForFinished(kWaitMs));
    EXPECT_EQ(editor->exitCode(), 0);
}

TEST_F(DesktopEditor, FileSizeLimitGivesTheEditorAMessageNotAnEnd) {
    banks.Write(QStringLiteral("Bnk_1.bnm"), BankWithSample(64 * 1024));
    // Opening the bank writes its sample out, past this limit.
    QProcess* editor =
        Start(QStringLiteral(KANTEL_BINARY), {QStringLiteral("Bnk_1.bnm")}, 16 * 1024);
    // The message, titled as the program, before the main window shows.
    const QString message = WaitForWindow(QStringLiteral("^Kantel$"), *editor);
    ASSERT_FALSE(message.isEmpty()) << "no message, " << Ending(*editor);
    EXPECT_FALSE(editor->waitForFinished(0)) << Ending(*editor);
    Type(message, QStringLiteral("Return"));
    const QString window = WaitForWindow(QStringLiteral("^Kantel - Bnk_1.bnm$"), *editor);
    ASSERT_FALSE(window.isEmpty()) << "no editor window, " << Ending(*editor);
    ExitThroughTheMenu(*editor, window);
    ASSERT_TRUE(editor->waitForFinished(kWaitMs));
    EXPECT_EQ(editor->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor->exitCode(), 0);
}

// No display needed: kantel-cli under a file size limit, once where the
// wave file it writes passes the limit and once where the saved bank does.
TEST(CliUnderFileSizeLimit, SaysWhatFailedInsteadOfEnding) {
    TestFolder banks;
    const QByteArray sample = BankBuilder::Pattern(64 * 1024, 1);
    const QString bank = banks.Write(QStringLiteral("Bnk_1.bnm"), BankWithSample(64 * 1024));
    struct Case {
        const char* what;
        QStringList arguments;
        bool waveThere;
    };
    const Case cases[] = {
        {"extract", {QStringLiteral("extract"), bank}, false},
        {"save",
         {QStringLiteral("save"), bank, QStringLiteral("-o"),
          banks.FilePath(QStringLiteral("copy.bnm"))},
         true},
    };
    for (const Case& c : cases) {
        if (c.waveThere) {
            banks.Write(QStringLiteral("engine.wav"), BankBuilder::Wave(sample));
        } else if (banks.Exists(QStringLiteral("engine.wav"))) {
            banks.Remove(QStringLiteral("engine.wav"));
        }
        QProcess cli;
        cli.setWorkingDirectory(banks.Path());
        cli.setChildProcessModifier([] { LimitFileSize(16 * 1024); });
        cli.start(QStringLiteral(KANTEL_CLI_BINARY), c.arguments);
        ASSERT_TRUE(cli.waitForFinished(kWaitMs)) << c.what;
        const QString errors = QString::fromLocal8Bit(cli.readAllStandardError());
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << c.what << ": killed";
        EXPECT_NE(cli.exitCode(), 0) << c.what;
        EXPECT_TRUE(errors.contains(QStringLiteral("too large"), Qt::CaseInsensitive))
            << c.what << ": " << errors.toStdString();
    }
}
