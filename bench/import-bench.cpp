// Imports every sound file of a folder, in name order, into the samples of a
// bank in table order, in one process as the editor would, then saves the
// bank. Prints the seconds the imports took and the seconds of the save.

#include "doc/CKantelDoc.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kantel-import-bench BANK FOLDER\n");
        return 2;
    }
    const QString bank = QString::fromLocal8Bit(argv[1]);
    const QDir sources(QString::fromLocal8Bit(argv[2]));
    CKantelDoc doc;
    if (!doc.OnOpenDocument(bank)) {
        return 1;
    }
    const QStringList files = sources.entryList(QDir::Files, QDir::Name);
    if (files.size() > static_cast<qsizetype>(doc.Resources().size())) {
        std::fprintf(stderr, "kantel-import-bench: more files than samples\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < static_cast<int>(files.size()); ++i) {
        if (!doc.ImportSound(i, sources.filePath(files.at(i)), {})) {
            return 1;
        }
    }
    const double imported = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    if (!doc.OnSaveDocument(bank)) {
        return 1;
    }
    std::printf("import %.3f\nsave %.3f\n", imported,
                static_cast<double>(timer.nsecsElapsed()) / 1e9);
    return 0;
}
