#include "TestMount.h"

#include <QDir>
#include <QProcess>

#include <utility>

#include <unistd.h>

std::unique_ptr<TestMount> TestMount::Tmpfs(const QString& path, int kilobytes) {
    if (::geteuid() != 0) {
        return nullptr;
    }
    QDir().mkpath(path);
    if (!Run({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
              QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), path})) {
        return nullptr;
    }
    return std::unique_ptr<TestMount>(new TestMount(path));
}

TestMount::TestMount(QString path) : m_strPath(std::move(path)) {}

TestMount::~TestMount() {
    QProcess::execute(QStringLiteral("umount"), {m_strPath});
}

bool TestMount::SetReadOnly(bool readOnly) const {
    return Run({QStringLiteral("-o"),
                readOnly ? QStringLiteral("remount,ro") : QStringLiteral("remount,rw"), m_strPath});
}

bool TestMount::Run(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("mount"), arguments) == 0;
}
