// The bank reader on any bytes, first on its own, then with everything the
// lists, labels, header figures and the bank check compute from the bank a
// document holds.
#include "FuzzSupport.h"

#include "doc/CKantelDoc.h"
#include "format/CBankReader.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = FuzzSupport::Instance().WriteFresh(QStringLiteral("Bnk_1.bnm"), bytes);
    // What the reader accepts lies inside what it holds; a record outside
    // would be read or written out of bounds by every later step.
    const CResult<BankImage> read = CBankReader::Read(QByteArrayView(bytes), path);
    if (read.Ok()) {
        const BankImage& image = read.Value();
        const auto* begin = image.data.get();
        const auto* end = begin + image.size;
        const auto inside = [&](const void* from, qint64 bytesLong) {
            const auto* at = static_cast<const quint8*>(from);
            return bytesLong == 0 || (at >= begin && at + bytesLong <= end);
        };
        if (!inside(image.header, sizeof(BnmHeader)) ||
            !inside(image.resources, qint64{image.resourceCount} * sizeof(SoundResource)) ||
            !inside(image.events, qint64{image.eventCount} * sizeof(SoundEvent))) {
            std::abort();
        }
    }
    CKantelDoc doc;
    if (!doc.LoadBankAndNames(path)) {
        return 0;
    }
    qsizetype total = 0;
    const int resources = CResourceCells::RowCount(doc.Records());
    for (int row = 0; row < resources; ++row) {
        for (int c = 0; c < CResourceCells::ColumnCount; ++c) {
            total += CResourceCells::Text(doc.Records(), row, c).size();
        }
        QString wave;
        doc.GetSampleFilePath(row, wave);
    }
    const int events = CEventCells::RowCount(doc.Records());
    for (int row = 0; row < events; ++row) {
        for (int c = 0; c < CEventCells::ColumnCount; ++c) {
            total += CEventCells::Text(doc.Records(), row, c).size();
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
    for (const CBankChecker::Finding& finding : doc.CheckBank()) {
        total += finding.text.size();
    }
    doc.UpdateSampleOffsets();
    doc.OnEditAllBanked();
    doc.OnEditAllExternal();
    return total < 0 ? 1 : 0;
}
