#include "CShellOpener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// How long xdg-open may take to tell us it failed. Most desktops hand the
// name over and return at once; if it is still running after this, the
// application it started is running in its place and that is success.
constexpr int kVerdictMs = 3000;

bool isAddress(const QString& name) {
    const QUrl url(name, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1 && !url.host().isEmpty();
}

QString defaultApplication(const QString& mimeType) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return QString();
    }
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(kVerdictMs)) {
        query.kill();
        query.waitForFinished();
        return QString();
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

} // namespace

int CShellOpener::Open(const QString& name) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    QString target = name;
    if (!isAddress(name)) {
        const QFileInfo info(QDir::current(), name);
        if (!info.dir().exists()) {
            return kPathNotFound;
        }
        if (!info.exists()) {
            return kFileNotFound;
        }
        if (!info.isReadable()) {
            return kAccessDenied;
        }
        target = info.absoluteFilePath();
        // A file type without an application would have xdg-open try
        // whatever it finds (a browser, a mailcap entry): that is no
        // association. An address is different: where the desktop registered
        // no handler for its scheme, xdg-open finds the system's browser
        // (x-www-browser, $BROWSER), and says so by its exit status when
        // there is none.
        if (xdgOpen.isEmpty() ||
            defaultApplication(QMimeDatabase().mimeTypeForFile(info).name()).isEmpty()) {
            return kNoAssociation;
        }
    }
    if (xdgOpen.isEmpty()) {
        return kNoAssociation;
    }
    // The process outlives this call when the opened application keeps it
    // running; the application object takes care of it then.
    auto* process = new QProcess(QCoreApplication::instance());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(xdgOpen, {target});
    if (!process->waitForStarted(kVerdictMs)) {
        process->deleteLater();
        return kNoAssociation;
    }
    if (!process->waitForFinished(kVerdictMs)) {
        return kSuccess;
    }
    // xdg-open: 0 success, 2 file not found, 3 no tool to open it, 4 failed.
    switch (process->exitCode()) {
    case 0:
        return kSuccess;
    case 2:
        return kFileNotFound;
    case 3:
        return kNoAssociation;
    default:
        return 0;
    }
}

template <> IShellOpener& CSeam<IShellOpener>::Default() {
    static CShellOpener real;
    return real;
}
