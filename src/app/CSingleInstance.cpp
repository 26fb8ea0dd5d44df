#include "CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include <optional>

namespace {

constexpr int kTimeoutMs = 3000;
// A request is a QStringList in a QDataStream; the answer is one byte.
constexpr char kAck = 'K';
// No sane hand-over is larger; anything else is not ours.
constexpr qint64 kMaxRequest = 1 << 20;

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
    // Without a runtime folder QLocalServer puts the name in the shared
    // temporary folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        m_strServerName = QDir(runtime).filePath(m_strServerName);
    }
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::HandOver(const QStringList& files) const {
    QLocalSocket socket;
    socket.connectToServer(m_strServerName);
    if (!socket.waitForConnected(kTimeoutMs)) {
        return false;
    }
    socket.write(encodeRequest(files));
    if (!socket.waitForBytesWritten(kTimeoutMs)) {
        return false;
    }
    // Only an answer proves the running instance took the files; without one
    // this start opens them itself rather than dropping them.
    if (!socket.waitForReadyRead(kTimeoutMs)) {
        return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kAck;
}

bool CSingleInstance::Listen() {
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_pServer->listen(m_strServerName)) {
        // A socket left behind by an instance that crashed: nobody answered
        // on it (HandOver failed first), so it may go.
        QLocalServer::removeServer(m_strServerName);
        if (!m_pServer->listen(m_strServerName)) {
            return false;
        }
    }
    connect(m_pServer, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    return true;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < 4) {
                return;
            }
            QDataStream peek(socket->peek(4));
            quint32 size = 0;
            peek >> size;
            if (size > kMaxRequest) {
                socket->abort();
                return;
            }
            if (socket->bytesAvailable() < 4 + static_cast<qint64>(size)) {
                return;
            }
            socket->read(4);
            const std::optional<QStringList> files = decodeRequest(socket->read(size));
            if (!files) {
                socket->abort();
                return;
            }
            socket->write(&kAck, 1);
            socket->flush();
            Q_EMIT RequestRead(*files, QPrivateSignal());
        });
    }
}
