#include "CSingleInstance.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 3000;
// A request is a QStringList in a QDataStream; the answer is one byte.
constexpr char kAck = 'K';
// No sane hand-over is larger; anything else is not ours.
constexpr qint64 kMaxRequest = 1 << 20;

} // namespace

CSingleInstance::CSingleInstance(QString key, QObject* parent) : QObject(parent) {
    if (key.isEmpty()) {
        key = QString::number(::getuid()) + QLatin1Char('-') +
              qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
    }
    m_strServerName = QStringLiteral("kantel-") + key;
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::HandOver(const QStringList& files) const {
    QLocalSocket socket;
    socket.connectToServer(m_strServerName);
    if (!socket.waitForConnected(kTimeoutMs)) {
        return false;
    }
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << files;
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame << static_cast<quint32>(request.size());
    socket.write(framed + request);
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
            QDataStream in(socket->read(size));
            QStringList files;
            in >> files;
            if (in.status() != QDataStream::Ok) {
                socket->abort();
                return;
            }
            socket->write(&kAck, 1);
            socket->flush();
            Q_EMIT FilesReceived(files);
        });
    }
}
