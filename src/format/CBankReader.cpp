#include "CBankReader.h"

#include "CBnmFormat.h"

#include "framework/core/CFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

namespace {

// How many whole records of size bytes, of the count the header claims, lie
// between offset and limit. Negative counts and tables that start past the
// limit give none.
int recordsThatFit(quint32 offset, qint32 count, int size, qint64 limit) {
    if (count <= 0 || static_cast<qint64>(offset) >= limit) {
        return 0;
    }
    const qint64 fit = (limit - static_cast<qint64>(offset)) / size;
    return static_cast<int>(std::min<qint64>(count, fit));
}

// A bank is read in one go into fresh memory. With 4 KiB pages the kernel
// takes a fault for every page, which for a large bank costs more than the
// copy itself, so an image of a huge page or more asks for huge pages: the
// tables of 65,535 samples alone are 6 MB.
quint8* allocateImage(qint64 size) {
    constexpr size_t kHugePage = size_t{2} << 20U;
    const auto bytes = static_cast<size_t>(size);
    if (bytes < kHugePage) {
        return static_cast<quint8*>(std::malloc(bytes));
    }
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* image = std::aligned_alloc(kHugePage, rounded);
    if (image != nullptr) {
        ::madvise(image, rounded, MADV_HUGEPAGE);
    }
    return static_cast<quint8*>(image);
}

QString tableCut(const char* what, qint32 claimed, int kept) {
    return QString::asprintf(
        qUtf8Printable(QCoreApplication::translate(
            "CBankReader", "The header lists %d %s, but only %d lie inside the bank's "
                           "header region.\nThe others are ignored.")),
        claimed, what, kept);
}

FormatError error(FormatError::Kind kind, QString text = QString()) {
    return FormatError{kind, std::move(text)};
}

// Why the tables cannot be edited, or an empty string. A record that shares
// bytes with the header or with another record cannot be edited without
// changing the other: a recomputed offset would land on a header word (the
// sample data offset, say) and the next save would write the bank to the
// wrong length or to nothing.
QString overlapProblem(const QString& path, qint64 resourcesAt, qint64 resourceBytes,
                       qint64 eventsAt, qint64 eventBytes) {
    const auto overlap = [](qint64 a, qint64 aBytes, qint64 b, qint64 bBytes) {
        return aBytes > 0 && bBytes > 0 && a < b + bBytes && b < a + aBytes;
    };
    const bool resourcesOnHeader = overlap(0, CBnmFormat::kHeaderSize, resourcesAt, resourceBytes);
    const bool eventsOnHeader = overlap(0, CBnmFormat::kHeaderSize, eventsAt, eventBytes);
    if (!resourcesOnHeader && !eventsOnHeader &&
        !overlap(resourcesAt, resourceBytes, eventsAt, eventBytes)) {
        return QString();
    }
    const QString what =
        resourcesOnHeader || eventsOnHeader
            ? QCoreApplication::translate("CBankReader", "overlaps the bank's 36-byte header")
            : QCoreApplication::translate("CBankReader", "and the event table overlap each other");
    return QCoreApplication::translate(
               "CBankReader", "%1 cannot be opened: its %2 %3 (resources at offset %4, events at "
                              "offset %5).\nEditing or saving it would overwrite one with the "
                              "other.")
        .arg(path.isEmpty() ? QCoreApplication::translate("CBankReader", "The bank") : path,
             resourcesOnHeader || !eventsOnHeader
                 ? QCoreApplication::translate("CBankReader", "resource table")
                 : QCoreApplication::translate("CBankReader", "event table"),
             what)
        .arg(resourcesAt)
        .arg(eventsAt);
}

// The folder of the bank at path, without a trailing "/".
QString folderOf(const QString& path) {
    QString folder = path;
    folder.chop(QFileInfo(path).fileName().size());
    if (folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    return folder;
}

} // namespace

void BankImage::Deleter::operator()(quint8* image) const {
    std::free(image);
}

CResult<BankImage> CBankReader::Allocate(qint64 length) {
    if (length <= 0) {
        return error(FormatError::Kind::NotABank);
    }
    if (length > qint64{0xFFFFFFFF}) {
        return error(FormatError::Kind::TooLarge,
                     QCoreApplication::translate("CBankReader",
                                                 "The file is too large to be a sound bank."));
    }
    BankImage image;
    image.data.reset(allocateImage(length));
    if (!image.data) {
        return error(FormatError::Kind::OutOfMemory,
                     QCoreApplication::translate("CBankReader", "Out of memory."));
    }
    image.size = length;
    return image;
}

CResult<BankImage> CBankReader::Read(CFile& file) {
    const qint64 length = file.GetLength();
    CResult<BankImage> image = Allocate(length);
    if (!image) {
        return image;
    }
    file.SeekToBegin();
    if (file.Read(image.Value().data.get(), length) != length) {
        return error(FormatError::Kind::NotABank);
    }
    return Layout(std::move(image.Value()), file.GetFilePath(), length);
}

CResult<BankImage> CBankReader::ReadRecords(CFile& file) {
    return ReadRegion(file, false);
}

CResult<BankImage> CBankReader::ReadHeaderRegion(CFile& file) {
    return ReadRegion(file, true);
}

CResult<BankImage> CBankReader::ReadRegion(CFile& file, bool roomForAll) {
    const qint64 length = file.GetLength();
    if (length <= CBnmFormat::kHeaderSize || length > qint64{0xFFFFFFFF}) {
        // Refused either way; the whole read says why as it always has.
        return Read(file);
    }
    BnmHeader header{};
    file.SeekToBegin();
    if (file.Read(&header, sizeof header) != static_cast<qint64>(sizeof header)) {
        return error(FormatError::Kind::NotABank);
    }
    if (!CountTables(header, length)) {
        return Read(file);
    }
    const qint64 region = header.sampleDataOffset;
    // Pages of the allocation that nobody writes cost nothing.
    CResult<BankImage> image = Allocate(roomForAll ? length : region);
    if (!image) {
        return image;
    }
    file.SeekToBegin();
    if (file.Read(image.Value().data.get(), region) != region) {
        return error(FormatError::Kind::NotABank);
    }
    return Layout(std::move(image.Value()), file.GetFilePath(), length);
}

CResult<BankImage> CBankReader::Read(QByteArrayView bytes, const QString& path) {
    CResult<BankImage> image = Allocate(bytes.size());
    if (!image) {
        return image;
    }
    std::memcpy(image.Value().data.get(), bytes.data(), static_cast<size_t>(bytes.size()));
    return Layout(std::move(image.Value()),
                  path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath(), bytes.size());
}

std::optional<CBankReader::TableCounts> CBankReader::CountTables(const BnmHeader& header,
                                                                 qint64 length) {
    if (length <= CBnmFormat::kHeaderSize || header.resourceTableOffset >= length ||
        header.sampleDataOffset < CBnmFormat::kHeaderSize || header.sampleDataOffset > length) {
        return std::nullopt;
    }
    const qint64 region = header.sampleDataOffset;
    return TableCounts{
        recordsThatFit(header.resourceTableOffset, header.resourceCount, CBnmFormat::kResourceSize,
                       region),
        recordsThatFit(header.eventTableOffset, header.eventCount, CBnmFormat::kEventSize, region)};
}

CResult<BankImage> CBankReader::Layout(BankImage image, const QString& path, qint64 length) {
    image.fileSize = length;
    const auto* header = reinterpret_cast<const BnmHeader*>(image.data.get());
    const std::optional<TableCounts> counts =
        length > CBnmFormat::kHeaderSize ? CountTables(*header, length) : std::nullopt;
    if (!counts) {
        return error(FormatError::Kind::Truncated,
                     QCoreApplication::translate("CBankReader", "File is truncated"));
    }

    const qint64 region = header->sampleDataOffset;
    const int resources = counts->resources;
    const int events = counts->events;
    const qint64 resourcesAt = header->resourceTableOffset;
    const qint64 eventsAt = header->eventTableOffset;
    const QString overlap =
        overlapProblem(path, resourcesAt, qint64{resources} * CBnmFormat::kResourceSize, eventsAt,
                       qint64{events} * CBnmFormat::kEventSize);
    if (!overlap.isEmpty()) {
        return error(FormatError::Kind::Overlap, overlap);
    }

    image.header = reinterpret_cast<BnmHeader*>(image.data.get());
    image.resourceCount = resources;
    // A table that starts past the header region holds no record; its
    // place may lie past what was read.
    image.resources =
        reinterpret_cast<SoundResource*>(image.data.get() + std::min(resourcesAt, image.size));
    image.eventCount = events;
    image.events =
        events > 0 ? reinterpret_cast<SoundEvent*>(image.data.get() + eventsAt) : nullptr;
    image.regionSize = region;
    if (resources != header->resourceCount) {
        image.warnings.append(tableCut("sound resources", header->resourceCount, resources));
    }
    if (events != header->eventCount) {
        image.warnings.append(tableCut("sound events", header->eventCount, events));
    }
    image.bank = CBnmFormat::BankFromResourceTableOffset(header->resourceTableOffset);

    image.folder = folderOf(path);
    return image;
}
