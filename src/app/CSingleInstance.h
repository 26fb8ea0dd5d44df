#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;

// One editor per user and display: a second start hands its files to the
// running one over a local socket and ends, the way a second double-click on
// a bank in the file manager should behave.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    // key tells instances apart (the default: user and display). The socket
    // lives in $XDG_RUNTIME_DIR when there is one, a folder no other user can
    // enter, so nobody else can take the name first and be handed our files.
    explicit CSingleInstance(QString key = QString(), QObject* parent = nullptr);
    ~CSingleInstance() override;

    // Sends files (absolute paths; possibly none, which only raises the
    // window) to a running instance of this user. True only when one answered
    // that it took them; on false the caller opens them itself. Waits at most
    // a few seconds for each step.
    bool HandOver(const QStringList& files) const;
    // Becomes the running instance, taking over a socket that a crashed
    // instance left behind (one nobody answers on). False when the socket
    // cannot be made: the name is too long, a live instance or something that
    // is not our socket has it.
    bool Listen();

    // The socket's name as QLocalServer and QLocalSocket take it: a path, or
    // a bare name that lives in the temporary folder.
    QString ServerName() const { return m_strServerName; }

Q_SIGNALS:
    // A later start handed over these files. Emitted from the event loop
    // after the answer went out, so the later start never waits on what
    // opening them shows (a message box about a broken bank).
    void FilesReceived(const QStringList& files);
    // A request was read; passed on as FilesReceived through the event loop.
    void RequestRead(const QStringList& files, QPrivateSignal);

private:
    void OnNewConnection();

    QString m_strServerName;
    int m_nListenFd = -1;
    QSocketNotifier* m_pNotifier = nullptr;
    // The socket file as bound, so that closing removes it only while the
    // name is still ours.
    quint64 m_nSocketDevice = 0;
    quint64 m_nSocketInode = 0;
};
