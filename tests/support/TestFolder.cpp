#include "TestFolder.h"

#include <QDir>
#include <QFile>

TestFolder::TestFolder() {
    // Kept on request, so the banks a run composed can be replayed through
    // another build (scripts/check-saves).
    if (qEnvironmentVariableIsSet("KANTEL_KEEP_TEST_FOLDERS")) {
        m_dir.setAutoRemove(false);
    }
}

QString TestFolder::FilePath(const QString& name) const {
    return m_dir.filePath(name);
}

QString TestFolder::Write(const QString& name, const QByteArray& bytes) const {
    QFile file(FilePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(FilePath(name)));
    }
    return FilePath(name);
}

QByteArray TestFolder::Read(const QString& name) const {
    QFile file(FilePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

bool TestFolder::Exists(const QString& name) const {
    return QFile::exists(FilePath(name));
}

void TestFolder::Remove(const QString& name) const {
    QFile::remove(FilePath(name));
}

QStringList TestFolder::Entries() const {
    return QDir(Path()).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
