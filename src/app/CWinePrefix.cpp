#include "CWinePrefix.h"

#include "framework/core/CPathCase.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString slashes(QString path) {
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool hasDrive(const QString& path) {
    return path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter() &&
           path.at(0).unicode() < 0x80;
}

QString driveFolder(QChar letter) {
    const QString prefix = CWinePrefix::Prefix();
    const QString lower = letter.toLower();
    const QFileInfo link(
        QDir(prefix).filePath(QStringLiteral("dosdevices/") + lower + QLatin1Char(':')));
    if (link.exists()) {
        return link.canonicalFilePath();
    }
    if (lower == QStringLiteral("c")) {
        return QDir(prefix).filePath(QStringLiteral("drive_c"));
    }
    return QString();
}

} // namespace

QString CWinePrefix::Prefix() {
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (!prefix.isEmpty()) {
        return prefix;
    }
    return QDir::home().filePath(QStringLiteral(".wine"));
}

QString CWinePrefix::WindowsDirectory() {
    return CPathCase::ResolveBelow(QDir(Prefix()).filePath(QStringLiteral("drive_c")),
                                   QStringLiteral("windows"));
}

QString CWinePrefix::ToHostPath(const QString& windowsPath) {
    if (windowsPath.isEmpty() || windowsPath.startsWith(QLatin1Char('/'))) {
        return windowsPath;
    }
    if (hasDrive(windowsPath)) {
        const QString root = driveFolder(windowsPath.at(0));
        if (root.isEmpty()) {
            // A drive the prefix does not know: no host folder can stand for it.
            return QString();
        }
        const QString rest = slashes(windowsPath.mid(2));
        QString host = CPathCase::ResolveBelow(root, rest);
        if (rest.endsWith(QLatin1Char('/')) && !host.endsWith(QLatin1Char('/'))) {
            host += QLatin1Char('/');
        }
        return host;
    }
    const QString relative = slashes(windowsPath);
    QString host = CPathCase::ResolveBelow(QDir::currentPath(), relative);
    if (relative.endsWith(QLatin1Char('/')) && !host.endsWith(QLatin1Char('/'))) {
        host += QLatin1Char('/');
    }
    return host;
}

QString CWinePrefix::ProfilePath(const QString& fileName) {
    if (hasDrive(fileName) || fileName.startsWith(QLatin1Char('\\')) ||
        fileName.startsWith(QLatin1Char('/'))) {
        return ToHostPath(fileName);
    }
    return CPathCase::ResolveBelow(WindowsDirectory(), slashes(fileName));
}
