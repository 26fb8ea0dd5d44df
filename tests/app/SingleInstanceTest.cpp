#include "BankBuilder.h"
#include "DialogDriver.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "app/CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <future>
#include <memory>

namespace {

// Generous: a sanitizer build of the editor takes its time to start. These
// bound the waits; nothing is measured.
constexpr int kStartMs = 120000;

// Sets an environment variable for the life of the guard.
class EnvGuard {
public:
    EnvGuard(const char* name, const QString& value) : m_name(name), m_saved(qgetenv(name)) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value.toLocal8Bit());
        }
    }
    ~EnvGuard() {
        if (m_saved.isNull()) {
            qunsetenv(m_name);
        } else {
            qputenv(m_name, m_saved);
        }
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* m_name;
    QByteArray m_saved;
};

QString uniqueKey() {
    static int count = 0;
    return QStringLiteral("test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++count);
}

// A socket file with nobody behind it, as an instance that crashed leaves.
bool makeStaleSocket(const QString& path) {
    const QByteArray name = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) {
        return false;
    }
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

QByteArray request(const QStringList& files) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out << files;
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame << static_cast<quint32>(body.size());
    return framed + body;
}

// Hands files over from another thread while this one runs the server's
// event loop, as a second editor would from its own process.
bool handOverFromAnotherThread(const QString& key, const QStringList& files) {
    const CSingleInstance client(key);
    std::future<bool> done = std::async(std::launch::async, [&] { return client.HandOver(files); });
    // HandOver bounds its own waits; this one only keeps the loop running.
    (void)QTest::qWaitFor(
        [&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        kStartMs);
    return done.get();
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    TestFolder runtime;
    EnvGuard runtimeGuard{"XDG_RUNTIME_DIR", runtime.Path()};
};

} // namespace

TEST_F(SingleInstanceTest, SocketLivesInTheUsersRuntimeFolder) {
    EXPECT_EQ(CSingleInstance(QStringLiteral("k")).ServerName(),
              QDir(runtime.Path()).filePath(QStringLiteral("kantel-k")));
    // A key cannot reach into another folder.
    EXPECT_EQ(CSingleInstance(QStringLiteral("../x")).ServerName(),
              QDir(runtime.Path()).filePath(QStringLiteral("kantel-.._x")));
    {
        EnvGuard none("XDG_RUNTIME_DIR", QString());
        EXPECT_EQ(CSingleInstance(QStringLiteral("k")).ServerName(), QStringLiteral("kantel-k"));
    }
    // Without a key, one instance per user and display.
    EnvGuard display("DISPLAY", QStringLiteral(":7"));
    EXPECT_EQ(CSingleInstance().ServerName(),
              QDir(runtime.Path()).filePath(QStringLiteral("kantel-%1-:7").arg(::getuid())));
}

TEST_F(SingleInstanceTest, NobodyListeningMeansNoHandOver) {
    CSingleInstance instance(uniqueKey());
    EXPECT_FALSE(instance.HandOver({QStringLiteral("/x/Bnk_1.bnm")}));
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedInstanceIsTakenOver) {
    CSingleInstance instance(uniqueKey());
    ASSERT_TRUE(makeStaleSocket(instance.ServerName()));
    EXPECT_FALSE(instance.HandOver({}));
    ASSERT_TRUE(instance.Listen());
    QLocalSocket client;
    client.connectToServer(instance.ServerName());
    EXPECT_TRUE(client.waitForConnected(kStartMs));
}

TEST_F(SingleInstanceTest, FilesArriveAfterTheAnswer) {
    CSingleInstance server(uniqueKey());
    ASSERT_TRUE(server.Listen());
    QSignalSpy received(&server, &CSingleInstance::FilesReceived);
    const QStringList files{QStringLiteral("/banks/Bnk_0.bnm"), QStringLiteral("/banks/Bnk 1.BNM")};

    QLocalSocket client;
    client.connectToServer(server.ServerName());
    ASSERT_TRUE(client.waitForConnected(kStartMs));
    // Sent in two pieces: the server waits for the whole request.
    const QByteArray bytes = request(files);
    client.write(bytes.left(3));
    client.flush();
    QTest::qWait(0);
    client.write(bytes.mid(3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.bytesAvailable() > 0; }, kStartMs));
    EXPECT_EQ(client.readAll(), QByteArray("K"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, kStartMs));
    EXPECT_EQ(received.first().first().toStringList(), files);
}

TEST_F(SingleInstanceTest, OversizedOrBrokenRequestsAreDropped) {
    CSingleInstance server(uniqueKey());
    ASSERT_TRUE(server.Listen());
    QSignalSpy received(&server, &CSingleInstance::FilesReceived);
    const QByteArray oversized = QByteArray::fromHex("7fffffff") + QByteArray(16, 'x');
    // Sizes that fit, then bytes that are no list of names: a count that
    // claims more names than there are bytes, a name that is missing, and a
    // list with something after it.
    const QByteArray hugeCount = QByteArray::fromHex("00000004ffffffff");
    const QByteArray missingName = QByteArray::fromHex("0000000400000001");
    const QByteArray trailing = QByteArray::fromHex("000000080000000000000000");
    for (const QByteArray& bytes : {oversized, hugeCount, missingName, trailing}) {
        QLocalSocket client;
        client.connectToServer(server.ServerName());
        ASSERT_TRUE(client.waitForConnected(kStartMs));
        client.write(bytes);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return client.state() == QLocalSocket::UnconnectedState; }, kStartMs));
        EXPECT_EQ(client.readAll(), QByteArray());
    }
    QTest::qWait(0);
    EXPECT_EQ(received.size(), 0);
}

TEST_F(SingleInstanceTest, IdleHalfSentAndVanishedClientsDoNotHoldUpTheNextHandOver) {
    const QString key = uniqueKey();
    CSingleInstance server(key);
    ASSERT_TRUE(server.Listen());
    QSignalSpy received(&server, &CSingleInstance::FilesReceived);
    // The editor does not ignore SIGPIPE (whatever runs the tests might), so
    // answering a client that is gone must not raise it.
    const auto savedSigpipe = std::signal(SIGPIPE, SIG_DFL);

    QLocalSocket idle;
    QLocalSocket halfSent;
    QLocalSocket vanished;
    for (QLocalSocket* client : {&idle, &halfSent, &vanished}) {
        client->connectToServer(server.ServerName());
        ASSERT_TRUE(client->waitForConnected(kStartMs));
    }
    halfSent.write(request({QStringLiteral("/banks/Bnk_9.bnm")}).left(6));
    halfSent.flush();
    vanished.write(request({QStringLiteral("/banks/Bnk_8.bnm")}));
    vanished.flush();
    vanished.abort();
    QTest::qWait(50);

    const QStringList files{QStringLiteral("/banks/Bnk_1.bnm")};
    EXPECT_TRUE(handOverFromAnotherThread(key, files));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, kStartMs));
    QTest::qWait(0);
    // Only the start that got its answer gave its bank away.
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.first().first().toStringList(), files);
    std::signal(SIGPIPE, savedSigpipe);
}

TEST_F(SingleInstanceTest, SocketIsTheUsersAloneAndGoesWithTheEditor) {
    const QString key = uniqueKey();
    auto instance = std::make_unique<CSingleInstance>(key);
    const QByteArray path = QFile::encodeName(instance->ServerName());
    // Private whatever the umask.
    const mode_t savedMask = ::umask(0);
    const bool listening = instance->Listen();
    ::umask(savedMask);
    ASSERT_TRUE(listening);
    struct stat info {};
    ASSERT_EQ(::lstat(path.constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & (S_IRWXG | S_IRWXO), 0U);

    // A second editor of the same key neither takes the live name nor,
    // when it ends, removes it.
    {
        CSingleInstance second(key);
        EXPECT_FALSE(second.Listen());
    }
    QLocalSocket client;
    client.connectToServer(instance->ServerName());
    EXPECT_TRUE(client.waitForConnected(kStartMs));
    client.abort();
    instance.reset();
    EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(path)));
}

TEST_F(SingleInstanceTest, WhatIsNotOurStaleSocketKeepsTheName) {
    const QString key = uniqueKey();
    CSingleInstance instance(key);
    const QByteArray path = QFile::encodeName(instance.ServerName());
    const QString staleElsewhere = runtime.FilePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(makeStaleSocket(staleElsewhere));
    const std::function<bool()> makers[] = {
        [&] { return !runtime.Write(QStringLiteral("kantel-") + key, "notes").isEmpty(); },
        [&] { return ::mkfifo(path.constData(), 0600) == 0; },
        [&] {
            return ::symlink(QFile::encodeName(staleElsewhere).constData(), path.constData()) == 0;
        },
    };
    for (const auto& make : makers) {
        ASSERT_TRUE(make());
        struct stat before {};
        ASSERT_EQ(::lstat(path.constData(), &before), 0);
        EXPECT_FALSE(instance.HandOver({}));
        EXPECT_FALSE(instance.Listen());
        struct stat after {};
        ASSERT_EQ(::lstat(path.constData(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        ASSERT_EQ(::unlink(path.constData()), 0);
    }
}

TEST_F(SingleInstanceTest, NameTooLongForASocketMeansNoHandOver) {
    // The folder itself fits; the socket's name in it does not.
    const QString deep =
        runtime.Path() + QLatin1Char('/') + QString(100 - runtime.Path().size(), QLatin1Char('d'));
    ASSERT_TRUE(QDir().mkpath(deep));
    EnvGuard deepRuntime("XDG_RUNTIME_DIR", deep);
    CSingleInstance instance(uniqueKey());
    EXPECT_FALSE(instance.HandOver({}));
    EXPECT_FALSE(instance.Listen());
    EXPECT_TRUE(QDir(deep).isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
}

// --- Two real editors -------------------------------------------------------

namespace {

// Starts the real editor, offscreen, with settings, Wine prefix and runtime
// folder of the test's own.
class TwoEditors : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        m_key = uniqueKey();
        for (int bank = 1; bank <= 3; ++bank) {
            BankBuilder b;
            b.bank = bank;
            b.AddSample(10, QStringLiteral("engine%1.wav").arg(bank),
                        BankBuilder::Pattern(64, bank), true);
            banks.Write(QStringLiteral("Bnk_%1.bnm").arg(bank), b.Build());
        }
    }
    void TearDown() override {
        for (auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(kStartMs);
            }
        }
    }

    QProcess& start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KANTEL_INSTANCE_KEY"), m_key);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.Path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.Path());
        env.insert(QStringLiteral("WINEPREFIX"), prefix.Path());
        process->setProcessEnvironment(env);
        // Bank names are given as a user types them, relative to where the
        // editor is started.
        process->setWorkingDirectory(banks.Path());
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QStringLiteral(KANTEL_BINARY), arguments);
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    QString serverName() const {
        return QDir(runtime.Path()).filePath(QStringLiteral("kantel-") + m_key);
    }

    // True once editor answers on the socket; false if it ended first.
    bool waitUntilListening(QProcess& editor) const {
        return QTest::qWaitFor(
                   [&] {
                       if (editor.state() == QProcess::NotRunning) {
                           return true;
                       }
                       QLocalSocket probe;
                       probe.connectToServer(serverName());
                       return probe.waitForConnected(100);
                   },
                   kStartMs) &&
               editor.state() == QProcess::Running;
    }

    // Opening a bank writes its banked sample out as a wave file: the sign
    // that a bank was opened, and by whom it is still running.
    bool waitForWave(int bank) const {
        const QString wave = QStringLiteral("engine%1.wav").arg(bank);
        return QTest::qWaitFor([&] { return banks.Exists(wave); }, kStartMs);
    }

    TestFolder banks;
    TestFolder runtime;
    TestFolder config;
    TestFolder prefix;

private:
    QString m_key;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

bool endsWithSuccess(QProcess& process) {
    return process.waitForFinished(kStartMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

TEST_F(TwoEditors, SecondStartHandsItsBankToTheRunningEditor) {
    QProcess& first = start({});
    ASSERT_TRUE(waitUntilListening(first));
    EXPECT_FALSE(banks.Exists(QStringLiteral("engine1.wav")));

    QProcess& second = start({QStringLiteral("Bnk_1.bnm")});
    EXPECT_TRUE(endsWithSuccess(second));
    // The first editor opened it: its sample is written out while the
    // second editor is already gone.
    EXPECT_TRUE(waitForWave(1));
    EXPECT_EQ(first.state(), QProcess::Running);

    // A start without a bank only brings the running editor forward.
    QProcess& third = start({});
    EXPECT_TRUE(endsWithSuccess(third));
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(TwoEditors, SocketOfACrashedEditorDoesNotBlockTheNextStart) {
    QProcess& crashed = start({});
    ASSERT_TRUE(waitUntilListening(crashed));
    crashed.kill();
    ASSERT_TRUE(crashed.waitForFinished(kStartMs));
    ASSERT_TRUE(QFileInfo::exists(serverName()));

    // Nobody takes the bank: this start opens it itself and stays.
    QProcess& next = start({QStringLiteral("Bnk_2.bnm")});
    EXPECT_TRUE(waitForWave(2));
    ASSERT_TRUE(waitUntilListening(next));

    // And it is the one later starts hand their banks to.
    QProcess& later = start({banks.FilePath(QStringLiteral("Bnk_3.bnm"))});
    EXPECT_TRUE(endsWithSuccess(later));
    EXPECT_TRUE(waitForWave(3));
    EXPECT_EQ(next.state(), QProcess::Running);
}
