// The bank reader and everything the lists, labels and header figures
// compute from a bank, on any bytes.
#include "FuzzSupport.h"

#include "doc/CKantelDoc.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = FuzzSupport::Instance().WriteFresh(QStringLiteral("Bnk_1.bnm"), bytes);
    CKantelDoc doc;
    if (!doc.LoadBankAndNames(path)) {
        return 0;
    }
    qsizetype total = 0;
    const int resources = CResourceCells::RowCount(doc);
    for (int row = 0; row < resources; ++row) {
        for (int c = 0; c < CResourceCells::ColumnCount; ++c) {
            total += CResourceCells::Text(doc, row, c).size();
        }
        QString wave;
        doc.GetSampleFilePath(row, wave);
    }
    const int events = CEventCells::RowCount(doc);
    for (int row = 0; row < events; ++row) {
        for (int c = 0; c < CEventCells::ColumnCount; ++c) {
            total += CEventCells::Text(doc, row, c).size();
        }
    }
    // Targets taken from the input itself, so every bank and index is tried.
    for (size_t i = 0; i + 4 <= size && i < 256; i += 4) {
        const quint32 target =
            static_cast<quint32>(data[i]) | (static_cast<quint32>(data[i + 1]) << 8U) |
            (static_cast<quint32>(data[i + 2]) << 16U) | (static_cast<quint32>(data[i + 3]) << 24U);
        total += doc.GetResourceLabel(target).size() + doc.GetEventLabel(target).size();
    }
    const BnmHeaderFigures figures = doc.GetHeaderFigures();
    total += figures.fileLength.size();
    doc.UpdateSampleOffsets();
    doc.OnEditAllBanked();
    doc.OnEditAllExternal();
    return total < 0 ? 1 : 0;
}
