#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One editor per user and display: a second start hands its files to the
// running one over a local socket and ends, the way a second double-click on
// a bank in the file manager should behave.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    // key tells instances apart (the default: user and display).
    explicit CSingleInstance(QString key = QString(), QObject* parent = nullptr);
    ~CSingleInstance() override;

    // Sends files (absolute paths; possibly none, which only raises the
    // window) to a running instance. True when one took them.
    bool HandOver(const QStringList& files) const;
    // Becomes the running instance. False when the socket cannot be made.
    bool Listen();

    QString ServerName() const { return m_strServerName; }

Q_SIGNALS:
    // A later start handed over these files.
    void FilesReceived(const QStringList& files);

private:
    void OnNewConnection();

    QString m_strServerName;
    QLocalServer* m_pServer = nullptr;
};
