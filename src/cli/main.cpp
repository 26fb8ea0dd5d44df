#include "CKantelCli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    // A write past the file size limit (ulimit -f) must fail with EFBIG and
    // an error message, not end the program silently with SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kantel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KANTEL_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CKantelCli::Run(QCoreApplication::arguments(), out, err);
}
