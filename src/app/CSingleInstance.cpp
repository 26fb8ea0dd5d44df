#include "CSingleInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

// The hand-over speaks plain AF_UNIX stream sockets rather than QLocalSocket:
// Qt Network and what it loads cost the editor's start more than this file.
// The wire format and the socket's path are the ones QLocalSocket used, so
// editors of either kind still find each other.

namespace {

constexpr int kTimeoutMs = 3000;
// A later start that connects and never completes its request is dropped
// after this, so that such clients cannot pile up open descriptors.
constexpr int kIdleMs = 10000;
// After accept() ran out of descriptors the listening socket stays readable;
// it is left alone for a while instead of spinning the event loop.
constexpr int kAcceptPauseMs = 1000;
// A request is a QStringList in a QDataStream; the answer is one byte.
constexpr char kAck = 'K';
// No sane hand-over is larger; anything else is not ours.
constexpr qint64 kMaxRequest = 1 << 20;
constexpr qsizetype kSizeField = 4;

// Both ends may be different builds (an update installed while the editor
// runs), so the stream format is fixed rather than each Qt's newest.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

QByteArray encodeRequest(const QStringList& files) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << files;
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame.setVersion(kStreamVersion);
    frame << static_cast<quint32>(body.size());
    return framed + body;
}

// The list in a request body, or nothing when the body is not one.
std::optional<QStringList> decodeRequest(const QByteArray& body) {
    QDataStream in(body);
    in.setVersion(kStreamVersion);
    // QDataStream reserves room for as many names as the count claims before
    // reading any; every name takes at least four bytes, so a larger count
    // is a lie that would only exhaust memory.
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > static_cast<quint32>(body.size() / 4)) {
        return std::nullopt;
    }
    in.device()->seek(0);
    QStringList files;
    in >> files;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        return std::nullopt;
    }
    return files;
}

// Where QLocalServer put a name: a path as it is, a bare name in the
// temporary folder.
QByteArray socketPath(const QString& serverName) {
    if (serverName.startsWith(QLatin1Char('/'))) {
        return QFile::encodeName(serverName);
    }
    return QFile::encodeName(QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + serverName);
}

// False when the path does not fit, with its terminating zero, into a
// socket address; the caller then does without the hand-over.
bool makeAddress(const QByteArray& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

const sockaddr* asSockaddr(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

int newSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// Closes a descriptor when it goes out of scope.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Waits until fd is ready for events or the deadline passed.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(deadline.remainingTime()));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

bool connectWithin(int fd, const sockaddr_un& address, const QDeadlineTimer& deadline) {
    for (;;) {
        if (::connect(fd, asSockaddr(address), sizeof address) == 0) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        // A full backlog: the running editor is busy. A local socket
        // cannot be polled for room in the backlog, so try again shortly.
        if (errno != EAGAIN || deadline.hasExpired()) {
            return false;
        }
        ::poll(nullptr, 0, static_cast<int>(qMin<qint64>(10, deadline.remainingTime())));
    }
}

// True when the other end runs as this user: in the shared temporary folder
// another user could have made the socket first, to be handed our paths.
bool peerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

bool sendWithin(int fd, const QByteArray& bytes, const QDeadlineTimer& deadline) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        // MSG_NOSIGNAL: an editor that vanishes mid-request must not end
        // this one with SIGPIPE.
        const ssize_t done = ::send(fd, bytes.constData() + sent,
                                    static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (done > 0) {
            sent += done;
        } else if (done < 0 && errno == EINTR) {
            continue;
        } else if (done < 0 && errno == EAGAIN) {
            if (!waitFor(fd, POLLOUT, deadline)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

bool ackWithin(int fd, const QDeadlineTimer& deadline) {
    for (;;) {
        char answer = 0;
        const ssize_t got = ::recv(fd, &answer, 1, 0);
        if (got == 1) {
            return answer == kAck;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got == 0 || errno != EAGAIN || !waitFor(fd, POLLIN, deadline)) {
            return false;
        }
    }
}

// True only when connecting to the socket file is refused: nobody listens
// on it any more. A live editor, even a busy one, keeps its name.
bool nobodyAnswers(const sockaddr_un& address) {
    const UniqueFd probe(newSocket());
    if (probe.Get() < 0) {
        return false;
    }
    int result = 0;
    do {
        result = ::connect(probe.Get(), asSockaddr(address), sizeof address);
    } while (result != 0 && errno == EINTR);
    return result != 0 && errno == ECONNREFUSED;
}

bool bindTo(int fd, const sockaddr_un& address) {
    return ::bind(fd, asSockaddr(address), sizeof address) == 0;
}

// Binds fd to the path, first removing a socket that an instance of ours
// left behind when it crashed. Anything else under that name (a live editor,
// another user's socket, a file, a FIFO, a symbolic link) is left alone.
bool bindOrTakeOver(int fd, const sockaddr_un& address) {
    if (bindTo(fd, address)) {
        return true;
    }
    if (errno != EADDRINUSE) {
        return false;
    }
    struct stat info {};
    if (::lstat(address.sun_path, &info) != 0 || !S_ISSOCK(info.st_mode) ||
        info.st_uid != ::getuid() || !nobodyAnswers(address)) {
        return false;
    }
    return ::unlink(address.sun_path) == 0 && bindTo(fd, address);
}

// One connection of a later start: reads its request from the event loop
// without ever waiting on the client, answers and closes.
class Peer : public QObject {
public:
    Peer(int fd, std::function<void(const QStringList&)> onRequest, QObject* parent)
        : QObject(parent), m_fd(fd), m_notifier(fd, QSocketNotifier::Read),
          m_onRequest(std::move(onRequest)) {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Peer::OnReadable);
        QTimer::singleShot(kIdleMs, this, &Peer::Drop);
    }
    ~Peer() override {
        m_notifier.setEnabled(false);
        ::close(m_fd);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

private:
    void Drop() {
        m_notifier.setEnabled(false);
        deleteLater();
    }
    void OnReadable();
    // The request's size once its size field is in; -1 before.
    qint64 ClaimedSize() const {
        if (m_buffer.size() < kSizeField) {
            return -1;
        }
        return qFromBigEndian<quint32>(m_buffer.constData());
    }

    int m_fd;
    QSocketNotifier m_notifier;
    std::function<void(const QStringList&)> m_onRequest;
    QByteArray m_buffer;
};

void Peer::OnReadable() {
    // Read what is there, never more than one request.
    while (ClaimedSize() < 0 || m_buffer.size() < kSizeField + ClaimedSize()) {
        const qsizetype want = ClaimedSize() < 0 ? kSizeField - m_buffer.size()
                                                 : kSizeField + ClaimedSize() - m_buffer.size();
        const qsizetype had = m_buffer.size();
        m_buffer.resize(had + want);
        const ssize_t got = ::recv(m_fd, m_buffer.data() + had, static_cast<size_t>(want), 0);
        // Taken before the buffer shrinks: freeing memory may change errno.
        const int error = got < 0 ? errno : 0;
        m_buffer.resize(had + qMax<qsizetype>(got, 0));
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN) {
            return;
        }
        if (got <= 0 || ClaimedSize() > kMaxRequest) {
            // Gone before the request was whole, or not one of ours.
            Drop();
            return;
        }
    }
    const std::optional<QStringList> files = decodeRequest(m_buffer.mid(kSizeField));
    if (files) {
        ssize_t sent = 0;
        do {
            sent = ::send(m_fd, &kAck, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        } while (sent < 0 && errno == EINTR);
        // A client that is gone before the answer opens its files itself (or
        // crashed): taking them too would open them twice.
        if (sent == 1) {
            m_onRequest(*files);
        }
    }
    Drop();
}

} // namespace

CSingleInstance::CSingleInstance(QString key, QObject* parent) : QObject(parent) {
    connect(this, &CSingleInstance::RequestRead, this, &CSingleInstance::FilesReceived,
            Qt::QueuedConnection);
    if (key.isEmpty()) {
        key = QString::number(::getuid()) + QLatin1Char('-') +
              qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
    }
    // The key becomes part of a file name.
    key.replace(QLatin1Char('/'), QLatin1Char('_'));
    m_strServerName = QStringLiteral("kantel-") + key;
    // Without a runtime folder the name stays bare and lives in the shared
    // temporary folder, as QLocalServer put it.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        m_strServerName = QDir(runtime).filePath(m_strServerName);
    }
}

CSingleInstance::~CSingleInstance() {
    if (m_nListenFd < 0) {
        return;
    }
    m_pNotifier->setEnabled(false);
    // Remove the name only while it is still the socket we made.
    const QByteArray path = socketPath(m_strServerName);
    struct stat info {};
    if (::lstat(path.constData(), &info) == 0 && info.st_dev == m_nSocketDevice &&
        info.st_ino == m_nSocketInode) {
        ::unlink(path.constData());
    }
    ::close(m_nListenFd);
}

bool CSingleInstance::HandOver(const QStringList& files) const {
    sockaddr_un address{};
    if (!makeAddress(socketPath(m_strServerName), address)) {
        return false;
    }
    const UniqueFd fd(newSocket());
    // Only an answer proves the running instance took the files; without one
    // this start opens them itself rather than dropping them.
    return fd.Get() >= 0 && connectWithin(fd.Get(), address, QDeadlineTimer(kTimeoutMs)) &&
           peerIsThisUser(fd.Get()) &&
           sendWithin(fd.Get(), encodeRequest(files), QDeadlineTimer(kTimeoutMs)) &&
           ackWithin(fd.Get(), QDeadlineTimer(kTimeoutMs));
}

bool CSingleInstance::Listen() {
    if (m_nListenFd >= 0) {
        return true;
    }
    sockaddr_un address{};
    if (!makeAddress(socketPath(m_strServerName), address)) {
        return false;
    }
    UniqueFd fd(newSocket());
    // The socket file takes the socket's mode when it is bound, so it is
    // never open to other users, not even for a moment, whatever the umask.
    if (fd.Get() < 0 || ::fchmod(fd.Get(), S_IRUSR | S_IWUSR) != 0 ||
        !bindOrTakeOver(fd.Get(), address)) {
        return false;
    }
    struct stat info {};
    if (::lstat(address.sun_path, &info) != 0 || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0 ||
        ::listen(fd.Get(), SOMAXCONN) != 0) {
        ::unlink(address.sun_path);
        return false;
    }
    m_nSocketDevice = info.st_dev;
    m_nSocketInode = info.st_ino;
    m_nListenFd = fd.Release();
    m_pNotifier = new QSocketNotifier(m_nListenFd, QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CSingleInstance::OnNewConnection);
    return true;
}

void CSingleInstance::OnNewConnection() {
    for (;;) {
        const int fd = ::accept4(m_nListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            new Peer(
                fd,
                [this](const QStringList& files) { Q_EMIT RequestRead(files, QPrivateSignal()); },
                this);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) {
            continue;
        }
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            m_pNotifier->setEnabled(false);
            QTimer::singleShot(kAcceptPauseMs, m_pNotifier,
                               [notifier = m_pNotifier] { notifier->setEnabled(true); });
        }
        return;
    }
}
