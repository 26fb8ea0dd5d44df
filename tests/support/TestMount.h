#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// A small tmpfs mounted on a folder for the life of the object, for files
// that must meet a full disk or a read-only file system; only where the
// tests run as root, since nobody else may mount (Tmpfs gives nullptr then).
class TestMount {
public:
    static std::unique_ptr<TestMount> Tmpfs(const QString& path, int kilobytes);
    ~TestMount();
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;

    // Remounts read-only or writable again: root ignores a folder's
    // permissions, not its file system's. False when that failed.
    bool SetReadOnly(bool readOnly) const;

private:
    explicit TestMount(QString path);
    static bool Run(const QStringList& arguments);

    QString m_strPath;
};
