#include "CKantelCli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kantel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KANTEL_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CKantelCli::Run(QCoreApplication::arguments(), out, err);
}
