// The whole open, extract and save sequence in a temporary folder. The input
// is the bank; its names file is the last part of the input after a 0xFF 0xFE
// marker, when there is one.
#include "FuzzSupport.h"

#include "doc/CKantelDoc.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype marker = input.indexOf("\xFF\xFE");
    const QByteArray bank = marker >= 0 ? input.left(marker) : input;
    FuzzSupport& support = FuzzSupport::Instance();
    const QString path = support.WriteFresh(QStringLiteral("Bnk_1.bnm"), bank);
    if (marker >= 0) {
        QFile names(QDir(support.Folder()).filePath(QStringLiteral("Bnk_1.bns")));
        if (names.open(QIODevice::WriteOnly)) {
            names.write(input.mid(marker + 2));
        }
    }
    {
        CKantelDoc doc;
        if (doc.OnOpenDocument(path)) {
            doc.OnSaveDocument(QDir(support.Folder()).filePath(QStringLiteral("Out.bnm")));
            doc.OnEditAllBanked();
            doc.OnSaveDocument(path);
        }
    }
    // Nothing may have been written outside the bank's folder.
    const QStringList outside =
        QDir(QDir(support.Folder()).filePath(QStringLiteral("..")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (outside != QStringList{QStringLiteral("bank")}) {
        __builtin_trap();
    }
    return 0;
}
