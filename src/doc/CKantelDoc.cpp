#include "CKantelDoc.h"

#include "CBnmFormat.h"
#include "CNamesFileLines.h"
#include "CSampleNameIndex.h"
#include "CWaveFile.h"
#include "IHeaderViewer.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CArchive.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/CPathCase.h"
#include "framework/core/IProgressSink.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include <sys/mman.h>

namespace {

// Samples are copied in pieces of this size, so packing a bank never holds a
// whole sample in memory.
constexpr qint64 kCopyChunk = 1 << 20;

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

// The C library's strtok over one line: runs of delimiters count as one,
// leading delimiters are skipped, and the delimiter that ends a token is
// consumed with it.
class LineTokens {
public:
    explicit LineTokens(QByteArrayView line) : m_line(line) {}

    std::optional<QByteArrayView> Next(const char* delimiters) {
        const auto isDelimiter = [delimiters](char c) {
            return std::strchr(delimiters, c) != nullptr && c != '\0';
        };
        while (m_pos < m_line.size() && isDelimiter(m_line.at(m_pos))) {
            ++m_pos;
        }
        if (m_pos >= m_line.size()) {
            return std::nullopt;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_line.size() && !isDelimiter(m_line.at(m_pos))) {
            ++m_pos;
        }
        const QByteArrayView token = m_line.sliced(start, m_pos - start);
        if (m_pos < m_line.size()) {
            ++m_pos;
        }
        return token;
    }

private:
    QByteArrayView m_line;
    qsizetype m_pos = 0;
};

// atoi without its undefined overflow: optional leading white space and sign,
// then digits; anything else ends the number, and no digits give 0.
int parseDecimal(QByteArrayView token) {
    qsizetype i = 0;
    while (i < token.size() && std::strchr(" \t\n\v\f\r", token.at(i)) != nullptr &&
           token.at(i) != '\0') {
        ++i;
    }
    bool negative = false;
    if (i < token.size() && (token.at(i) == '+' || token.at(i) == '-')) {
        negative = token.at(i) == '-';
        ++i;
    }
    qint64 value = 0;
    for (; i < token.size() && token.at(i) >= '0' && token.at(i) <= '9'; ++i) {
        value = std::min<qint64>(value * 10 + (token.at(i) - '0'), qint64{1} << 32);
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

QString latin1(QByteArrayView bytes, int limit) {
    return QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), limit)));
}

// A bank is read in one go into fresh memory. With 4 KiB pages the kernel
// takes a fault for every page, which for a large bank costs more than the
// copy itself, so an image of several megabytes asks for huge pages.
quint8* allocateImage(qint64 size) {
    constexpr size_t kHugePage = size_t{2} << 20U;
    const auto bytes = static_cast<size_t>(size);
    if (bytes < 4 * kHugePage) {
        return static_cast<quint8*>(std::malloc(bytes));
    }
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* image = std::aligned_alloc(kHugePage, rounded);
    if (image != nullptr) {
        ::madvise(image, rounded, MADV_HUGEPAGE);
    }
    return static_cast<quint8*>(image);
}

// Lines for a message that lists samples: at most a screenful, and the
// number of the others.
QString ListForMessage(const QStringList& lines) {
    constexpr qsizetype kShown = 10;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) {
        shown.append(QStringLiteral("... and %1 more").arg(lines.size() - kShown));
    }
    return shown.join(QLatin1Char('\n'));
}

void reportTableCut(const char* what, qint32 claimed, int kept) {
    AfxMessageBox(QString::asprintf("The header lists %d %s, but only %d lie inside the bank's "
                                    "header region.\nThe others are ignored.",
                                    claimed, what, kept),
                  MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void CKantelDoc::ImageDeleter::operator()(quint8* image) const {
    std::free(image);
}

CKantelDoc::CKantelDoc() = default;

CKantelDoc::~CKantelDoc() = default;

// ---------------------------------------------------------------------------
// Framework overrides

void CKantelDoc::Serialize(CArchive& archive) {
    if (archive.IsLoading()) {
        m_bLoaded = ReadBank(*archive.GetFile());
    } else {
        WriteBank(*archive.GetFile());
    }
}

void CKantelDoc::DeleteContents() {
    m_bLoaded = false;
    m_pData.reset();
    m_nImageSize = 0;
    m_bNamesLoaded = false;
    m_pNames.reset();
    m_nFileSize = -1;
    m_pHeader = nullptr;
    m_pResources = nullptr;
    m_pEvents = nullptr;
    m_nResources = 0;
    m_nEvents = 0;
    m_extraction.clear();
    m_openedRange.clear();
    m_nRegionSize = 0;
    m_nUnwritten = 0;
    CDocument::DeleteContents();
}

bool CKantelDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}

bool CKantelDoc::OnOpenDocument(const QString& path) {
    if (!LoadBankAndNames(path)) {
        return false;
    }
    ExtractSamples(path);
    return true;
}

bool CKantelDoc::LoadBankAndNames(const QString& path) {
    if (!CDocument::OnOpenDocument(path) || !m_bLoaded) {
        return false;
    }
    // A names file is optional: any trouble with it only means no names, and
    // the user hears of it only where there is a file that is not one.
    const QString namesPath = path.left(path.size() - 3) + QStringLiteral("bns");
    const auto ignore = [this](const QString& why) {
        m_pNames.reset();
        m_nameIndex.clear();
        m_bNamesLoaded = false;
        if (!why.isEmpty()) {
            AfxMessageBox(why + QStringLiteral("\nThe bank is shown without names."),
                          MB_OK | MB_ICONEXCLAMATION);
        }
    };
    CFile names;
    CFileException error;
    if (!names.Open(namesPath, CFile::modeRead, &error)) {
        if (error.m_cause == CFileException::notRegularFile) {
            ignore(error.GetErrorMessage());
        }
        return true;
    }
    if (names.GetLength() > kMaxNamesFile) {
        ignore(QStringLiteral("%1 holds %2 bytes, too many for a names file.")
                   .arg(names.GetFilePath())
                   .arg(names.GetLength()));
        return true;
    }
    try {
        ReadNames(names);
    } catch (const CFileException& e) {
        ignore(m_nResources > 0 ? e.GetErrorMessage() : QString());
    } catch (const std::bad_alloc&) {
        ignore(QStringLiteral("There is not enough memory to read %1.").arg(names.GetFilePath()));
    }
    return true;
}

bool CKantelDoc::OnSaveDocument(const QString& path) {
    // Saving rewrites records (lengths, offsets, samples that could not be
    // stored). If the save fails, none of that happened on disk, so none of it
    // may stay in memory either.
    QByteArray region;
    const qint64 fileSize = m_nFileSize;
    if (m_bLoaded) {
        region = QByteArray(reinterpret_cast<const char*>(m_pData.get()),
                            static_cast<qsizetype>(HeaderRegionSize()));
    }
    m_unstored.clear();
    const bool saved = CDocument::OnSaveDocument(path);
    const QStringList unstored = std::exchange(m_unstored, QStringList());
    const std::vector<ShortWave> shortWaves = std::exchange(m_shortWaves, {});
    if (saved) {
        for (const QString& name : unstored) {
            AfxMessageBox(QStringLiteral("Couldn't store %1").arg(name), MB_OK | MB_ICONHAND);
        }
        if (!shortWaves.empty()) {
            QStringList lines;
            for (const ShortWave& wave : shortWaves) {
                lines.append(
                    wave.fromBank > 0
                        ? QStringLiteral("%1 holds %2 of the %3 bytes its data chunk claims; the "
                                         "other %4 were kept from the bank.")
                              .arg(wave.name)
                              .arg(wave.available)
                              .arg(wave.claimed)
                              .arg(wave.fromBank)
                        : QStringLiteral("%1 holds %2 of the %3 bytes its data chunk claims; "
                                         "only those were saved.")
                              .arg(wave.name)
                              .arg(wave.available)
                              .arg(wave.claimed));
            }
            AfxMessageBox(QStringLiteral("Some wave files are shorter than they say:\n%1")
                              .arg(ListForMessage(lines)),
                          MB_OK | MB_ICONEXCLAMATION);
        }
    }
    if (!saved && m_bLoaded) {
        std::memcpy(m_pData.get(), region.constData(), static_cast<size_t>(region.size()));
        m_nFileSize = fileSize;
    }
    if (saved && m_bLoaded) {
        // The saved bank now holds every banked sample, so from here on a
        // vanished wave file of any of them must stop a save as well; an
        // external one it no longer holds. Samples whose data never reached a
        // wave file keep coming from the image, which still has them.
        for (int i = 0; i < m_nResources; ++i) {
            const size_t at = static_cast<size_t>(i);
            if (m_extraction[at] == Extraction::Failed) {
                continue;
            }
            const SoundResource& resource = m_pResources[i];
            if (resource.IsBankedSample() && resource.length > 0) {
                m_extraction[at] = Extraction::Written;
                // The saved bank holds this much of it. Where is no longer
                // known in memory: the image is the bank as it was opened.
                m_openedRange[at] = {-1, static_cast<qint64>(resource.length)};
            } else if (resource.IsSample()) {
                m_extraction[at] = Extraction::None;
                m_openedRange[at] = {0, 0};
            }
        }
    }
    UpdateAllViews(nullptr, 0, nullptr);
    return saved;
}

void CKantelDoc::OnCloseDocument() {
    CDocument::OnCloseDocument();
}

// ---------------------------------------------------------------------------
// Reading

qint64 CKantelDoc::HeaderRegionSize() const {
    return m_pHeader != nullptr ? m_nRegionSize : 0;
}

// What the reader accepts. The file must be longer than the header and the
// resource table must start inside it, as the games' own check demands. We
// also refuse, as truncated, a file whose sample data offset lies inside the
// header or past the end: its header region is not all there, and saving
// would write memory we do not have or put sample data over the header.
// Everything else is kept: a table that runs past the header region keeps
// the records that fit whole and the user is told how many were ignored. The
// header words themselves stay as read, so a save writes them back unchanged.
bool CKantelDoc::ReadBank(CFile& file) {
    m_strFolder.clear();
    const QString fileName = file.GetFileName();
    const qint64 length = file.GetLength();
    m_nFileSize = length;
    if (length <= 0) {
        return false;
    }
    if (length > qint64{0xFFFFFFFF}) {
        AfxMessageBox(QStringLiteral("The file is too large to be a sound bank."),
                      MB_OK | MB_ICONHAND);
        return false;
    }
    file.SeekToBegin();
    m_pData.reset();
    m_pData.reset(allocateImage(length));
    if (!m_pData) {
        AfxMessageBox(QStringLiteral("Out of memory."), MB_OK | MB_ICONHAND);
        return false;
    }
    m_nImageSize = length;
    if (file.Read(m_pData.get(), length) != length) {
        return false;
    }
    m_pHeader = reinterpret_cast<BnmHeader*>(m_pData.get());
    if (length <= CBnmFormat::kHeaderSize || m_pHeader->resourceTableOffset >= length ||
        m_pHeader->sampleDataOffset < CBnmFormat::kHeaderSize ||
        m_pHeader->sampleDataOffset > length) {
        m_pHeader = nullptr;
        AfxMessageBox(QStringLiteral("File is truncated"), MB_OK | MB_ICONHAND);
        return false;
    }

    const qint64 region = m_pHeader->sampleDataOffset;
    m_nResources = recordsThatFit(m_pHeader->resourceTableOffset, m_pHeader->resourceCount,
                                  CBnmFormat::kResourceSize, region);
    m_pResources = reinterpret_cast<SoundResource*>(m_pData.get() + m_pHeader->resourceTableOffset);
    m_nEvents = recordsThatFit(m_pHeader->eventTableOffset, m_pHeader->eventCount,
                               CBnmFormat::kEventSize, region);
    m_pEvents = m_nEvents > 0
                    ? reinterpret_cast<SoundEvent*>(m_pData.get() + m_pHeader->eventTableOffset)
                    : nullptr;
    // A record that shares bytes with the header or with another record
    // cannot be edited without changing the other: a recomputed offset would
    // land on a header word (the sample data offset, say) and the next save
    // would write the bank to the wrong length or to nothing.
    const qint64 resourcesAt = m_pHeader->resourceTableOffset;
    const qint64 resourceBytes = qint64{m_nResources} * CBnmFormat::kResourceSize;
    const qint64 eventsAt = m_pHeader->eventTableOffset;
    const qint64 eventBytes = qint64{m_nEvents} * CBnmFormat::kEventSize;
    const auto overlap = [](qint64 a, qint64 aBytes, qint64 b, qint64 bBytes) {
        return aBytes > 0 && bBytes > 0 && a < b + bBytes && b < a + aBytes;
    };
    const bool resourcesOnHeader = overlap(0, CBnmFormat::kHeaderSize, resourcesAt, resourceBytes);
    const bool eventsOnHeader = overlap(0, CBnmFormat::kHeaderSize, eventsAt, eventBytes);
    if (resourcesOnHeader || eventsOnHeader ||
        overlap(resourcesAt, resourceBytes, eventsAt, eventBytes)) {
        const QString what = resourcesOnHeader || eventsOnHeader
                                 ? QStringLiteral("overlaps the bank's 36-byte header")
                                 : QStringLiteral("and the event table overlap each other");
        AfxMessageBox(
            QStringLiteral("%1 cannot be opened: its %2 %3 (resources at offset %4, events at "
                           "offset %5).\nEditing or saving it would overwrite one with the "
                           "other.")
                .arg(file.GetFilePath(),
                     resourcesOnHeader || !eventsOnHeader ? QStringLiteral("resource table")
                                                          : QStringLiteral("event table"),
                     what)
                .arg(resourcesAt)
                .arg(eventsAt),
            MB_OK | MB_ICONHAND);
        m_pHeader = nullptr;
        m_pResources = nullptr;
        m_pEvents = nullptr;
        m_nResources = 0;
        m_nEvents = 0;
        return false;
    }
    m_nRegionSize = region;
    if (m_nResources != m_pHeader->resourceCount) {
        reportTableCut("sound resources", m_pHeader->resourceCount, m_nResources);
    }
    if (m_nEvents != m_pHeader->eventCount) {
        reportTableCut("sound events", m_pHeader->eventCount, m_nEvents);
    }
    m_extraction.assign(static_cast<size_t>(m_nResources), Extraction::None);
    m_openedRange.assign(static_cast<size_t>(m_nResources), {0, 0});

    m_nBank = CBnmFormat::BankFromResourceTableOffset(m_pHeader->resourceTableOffset);

    QString folder = file.GetFilePath();
    folder.chop(fileName.size());
    if (folder.endsWith(QLatin1Char('/'))) {
        folder.chop(1);
    }
    m_strFolder = folder;
    return true;
}

// ---------------------------------------------------------------------------
// Names file

bool CKantelDoc::ReadNames(CFile& file) {
    if (m_nResources < 1) {
        return false;
    }
    CNamesFileLines lines(file);
    QByteArray line;
    bool inBody = false;
    while (lines.Next(line, kMaxNamesLine)) {
        if (line.compare("[body res]", Qt::CaseInsensitive) == 0) {
            inBody = true;
            break;
        }
    }
    if (inBody) {
        m_pNames = std::make_unique<ResourceName[]>(static_cast<size_t>(m_nResources));
        int position = 0;
        while (position < m_nResources && lines.Next(line, kMaxNamesLine)) {
            ResourceName& entry = m_pNames[static_cast<size_t>(position)];
            entry = ResourceName();
            entry.hasId = true;
            LineTokens tokens(line);
            const std::optional<QByteArrayView> id = tokens.Next(" \t");
            if (!id) {
                entry.id = -1;
            } else {
                entry.id = parseDecimal(*id);
                const std::optional<QByteArrayView> name = tokens.Next("\"");
                if (!name) {
                    entry.name = QString::asprintf("noname%d", position);
                } else {
                    entry.name = latin1(*name, kMaxName);
                    if (tokens.Next("\"")) {
                        if (const std::optional<QByteArrayView> description = tokens.Next("\"")) {
                            entry.description = latin1(*description, kMaxDescription);
                        }
                    }
                }
            }
            ++position;
        }
        // The first entry of each id answers the lookups, as a search from
        // the start would, without walking the list for every row.
        m_nameIndex.clear();
        m_nameIndex.reserve(position);
        for (int i = 0; i < position; ++i) {
            const int id = m_pNames[static_cast<size_t>(i)].id;
            if (!m_nameIndex.contains(id)) {
                m_nameIndex.insert(id, i);
            }
        }
    }
    m_bNamesLoaded = true;
    return true;
}

const ResourceName* CKantelDoc::FindResourceName(int id) const {
    if (!m_pNames) {
        return nullptr;
    }
    const auto found = m_nameIndex.constFind(id);
    return found != m_nameIndex.cend() ? &m_pNames[static_cast<size_t>(*found)] : nullptr;
}

QString CKantelDoc::GetResourceName(int id) const {
    const ResourceName* entry = FindResourceName(id);
    return entry != nullptr ? entry->name : QString();
}

QString CKantelDoc::GetResourceDescription(int id) const {
    const ResourceName* entry = FindResourceName(id);
    return entry != nullptr ? entry->description : QString();
}

// ---------------------------------------------------------------------------
// Questions the views ask

QString CKantelDoc::GetBankFolder() const {
    return m_strFolder + QLatin1Char('/');
}

QString CKantelDoc::GetResourceLabel(quint32 target) const {
    const int index = CBnmFormat::TargetIndex(target);
    const int bank = CBnmFormat::TargetBank(target);
    if (index >= m_nResources) {
        return QStringLiteral("???");
    }
    if (bank == m_nBank) {
        const SoundResource& resource = m_pResources[index];
        QString label = QString::asprintf("Resource ID %3d", resource.resourceId);
        if (resource.IsSample()) {
            label += QStringLiteral(" (") + CBnmFormat::FileNameText(resource) + QLatin1Char(')');
        }
        return label;
    }
    return QString::asprintf("Resource at index %d in Bnk_%d.bnm", index, bank);
}

QString CKantelDoc::GetEventLabel(quint32 target) const {
    const int index = CBnmFormat::TargetIndex(target);
    const int bank = CBnmFormat::TargetBank(target);
    if (index >= m_nEvents) {
        return QStringLiteral("???");
    }
    if (bank == m_nBank) {
        return QString::asprintf("Event ID %3d", m_pEvents[index].eventId);
    }
    return QString::asprintf("Event at index %d in Bnk_%d.bnm", index, bank);
}

bool CKantelDoc::GetSampleFilePath(int index, QString& path) const {
    if (!m_bLoaded || index < 0 || index >= m_nResources || !m_pResources[index].IsSample()) {
        return false;
    }
    path = GetBankFolder() + CBnmFormat::FileNameText(m_pResources[index]);
    const QString existing = CPathCase::ResolveExisting(path);
    if (!existing.isEmpty()) {
        path = existing;
    }
    return true;
}

void CKantelDoc::UpdateSampleOffsets() {
    if (m_pHeader == nullptr) {
        return;
    }
    const quint64 sum = CBnmFormat::RecomputeSampleOffsets(m_pResources, m_nResources);
    const quint64 length = m_pHeader->sampleDataOffset + sum;
    m_pHeader->fileLength = static_cast<quint32>(length);
    m_nFileSize = static_cast<qint64>(length);
}

BnmHeaderFigures CKantelDoc::GetHeaderFigures() const {
    BnmHeaderFigures figures;
    if (m_pHeader == nullptr) {
        return figures;
    }
    figures.fileLength = QString::asprintf("0x%08x", m_pHeader->fileLength);
    figures.sampleDataOffset = QString::asprintf("0x%08x", m_pHeader->sampleDataOffset);
    figures.eventCount = QString::asprintf("%d", m_nEvents);
    figures.eventTableOffset = QString::asprintf("0x%08x", m_pHeader->eventTableOffset);
    figures.resourceCount = QString::asprintf("%d", m_nResources);
    figures.resourceTableOffset = QString::asprintf("0x%08x", m_pHeader->resourceTableOffset);
    return figures;
}

void CKantelDoc::OnViewHeader() {
    // Without a loaded bank there is nothing to show; the menus do not offer
    // the command then, but a stray accelerator must not show empty figures.
    if (m_pHeader == nullptr) {
        return;
    }
    CSeam<IHeaderViewer>::Current().Show(GetHeaderFigures());
}

// ---------------------------------------------------------------------------
// Storage commands

void CKantelDoc::OnEditAllExternal() {
    for (int i = 0; i < m_nResources; ++i) {
        if (m_pResources[i].IsSample()) {
            m_pResources[i].storage = SoundResource::kStorageExternal;
        }
    }
    SetModifiedFlag(true);
    UpdateSampleOffsets();
    UpdateAllViews(nullptr, 0, nullptr);
}

void CKantelDoc::OnEditAllBanked() {
    for (int i = 0; i < m_nResources; ++i) {
        if (m_pResources[i].IsSample()) {
            m_pResources[i].storage = SoundResource::kStorageBank;
        }
    }
    SetModifiedFlag(true);
    UpdateSampleOffsets();
    UpdateAllViews(nullptr, 0, nullptr);
}

// ---------------------------------------------------------------------------
// Extraction

// A name for a banked sample whose record names no file of its own, or whose
// file is taken by something else. The names file's name comes first; the
// name must fit the record (so play and save find the file under the name
// the record keeps) and must stay inside the bank's folder. The candidates
// come in a fixed order, so opening the bank again, before it was saved,
// arrives at the same name.
QString CKantelDoc::ChooseSampleName(int index,
                                     const std::function<bool(const QString&)>& isFree) const {
    const int id = m_pResources[index].resourceId & 0xFFFF;
    QString name = m_bNamesLoaded ? GetResourceName(id) : QString();
    if (!name.isEmpty()) {
        for (QChar& c : name) {
            if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() > 0xFF ||
                c.unicode() < 0x20) {
                c = QLatin1Char('_');
            }
        }
        if (name.right(4).compare(QStringLiteral(".wav"), Qt::CaseInsensitive) != 0) {
            name += QStringLiteral(".wav");
        }
        if (name.size() > SoundResource::kMaxFileName) {
            const QString extension = name.right(4);
            name = name.left(SoundResource::kMaxFileName - 4) + extension;
        }
        if (name != QStringLiteral(".wav") && isFree(name)) {
            return name;
        }
    }
    name = QString::asprintf("Res%05d.wav", id);
    if (isFree(name)) {
        return name;
    }
    // The four banks of a game share one folder, and their ids overlap.
    if (m_nBank >= 0) {
        name = QString::asprintf("Bnk%d_%05d.wav", m_nBank, id);
        if (isFree(name)) {
            return name;
        }
    }
    name = QString::asprintf("Idx%X.wav", static_cast<unsigned>(index));
    for (unsigned k = 0; !isFree(name); ++k) {
        name = QString::asprintf("K%08X.wav", k);
    }
    return name;
}

bool CKantelDoc::IsWaveFile(const QString& path) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        // Unreadable now does not mean it is no wave; leave it alone. Not a
        // regular file at all: it cannot be one.
        return error.m_cause != CFileException::notRegularFile;
    }
    qint64 offset = 0;
    qint64 size = 0;
    try {
        return CWaveFile::FindDataChunk(file, &offset, &size);
    } catch (const CFileException&) {
        return true;
    }
}

QByteArrayView CKantelDoc::OpenedData(int index) const {
    const SoundResource& resource = m_pResources[index];
    const qint64 at = static_cast<qint64>(m_pHeader->sampleDataOffset) + resource.offset;
    if (at < 0 || at >= m_nImageSize || resource.length <= 0) {
        return {};
    }
    const qint64 length = std::min<qint64>(resource.length, m_nImageSize - at);
    return {reinterpret_cast<const char*>(m_pData.get() + at), static_cast<qsizetype>(length)};
}

bool CKantelDoc::WaveHolds(const QString& path, QByteArrayView data) {
    CFile wave;
    if (!wave.Open(path, CFile::modeRead)) {
        return false;
    }
    try {
        qint64 offset = 0;
        qint64 size = 0;
        if (!CWaveFile::FindDataChunk(wave, &offset, &size) || size != data.size()) {
            return false;
        }
        wave.Seek(offset, CFile::begin);
        QByteArray buffer(static_cast<qsizetype>(std::min<qint64>(size, kCopyChunk)), '\0');
        for (qint64 done = 0; done < size;) {
            const qint64 want = std::min<qint64>(size - done, buffer.size());
            if (wave.Read(buffer.data(), want) != want ||
                std::memcmp(buffer.constData(), data.data() + done, static_cast<size_t>(want)) !=
                    0) {
                return false;
            }
            done += want;
        }
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

int CKantelDoc::WriteWaveFile(CFileBatch& batch, const QString& name, qint64 start, qint64 length,
                              int index, CFileException& error) {
    const SoundResource& resource = m_pResources[index];
    const QByteArray header =
        CWaveFile::MakeHeader(resource.channels, static_cast<quint32>(resource.samplesPerSec),
                              resource.bitsPerSample, static_cast<quint32>(length));
    try {
        return batch.Add(name,
                         {QByteArrayView(header),
                          QByteArrayView(m_pData.get() + start, static_cast<qsizetype>(length))});
    } catch (const CFileException& e) {
        error = e;
        return -1;
    }
}

// The wave files are written into the bank's folder under temporary names
// and take their own names together once all of them are on disk: a sync
// per file would cost many times the writing. Until then the bank is the only
// copy of their data, so a file that fails to take its name leaves its samples
// to be saved from the image, as if writing it had failed.
void CKantelDoc::ExtractSamples(const QString& path) {
    const QString bankPath = QFileInfo(path).absoluteFilePath();
    const QString folder = GetBankFolder();
    m_nUnwritten = 0;
    qint64 total = 0;
    for (int i = 0; i < m_nResources; ++i) {
        if (m_pResources[i].IsBankedSample()) {
            total += std::max(qint32{m_pResources[i].length}, 0);
        }
    }
    IProgressSink& progress = Progress();
    progress.Begin(QStringLiteral("Writing samples"), total);
    // One reading of the folder serves every sample; the files this run
    // writes are known to the batch.
    const CFolderListing listing(folder);
    CFileBatch batch(folder);
    // What an open that was killed half-way left behind.
    batch.RemoveOrphans(
        listing.NamesStartingWith(QString::fromLatin1(CFileBatch::kTemporaryPrefix)));
    CSampleNameIndex names;
    names.Build(m_pResources, m_nResources);
    const auto rename = [&](SoundResource& resource, const QString& name) {
        const QString before = CBnmFormat::FileNameText(resource);
        CBnmFormat::SetFileName(resource, name);
        names.Rename(before, CBnmFormat::FileNameText(resource));
    };
    // The path of the file of that name in the folder, or an empty string;
    // a folder of that name counts as no file.
    const auto existingFile = [&](const QString& name) {
        const QString found = listing.Resolve(name);
        return found.isEmpty() || listing.IsFolder(found) ? QString() : found;
    };
    // Why an existing file cannot be a sample's wave, or an empty string. A
    // file that is no wave (a sibling bank, the names file) cannot be a
    // sample; packing it would fail on every save. Only a regular file named
    // as a wave file is taken for one without looking inside: opening every
    // sample's file would make opening a bank of many samples slow.
    const auto foreignReason = [&](const QString& found) {
        if (!listing.IsRegularFile(found)) {
            return QStringLiteral("%1 is not a regular file").arg(found);
        }
        if (!found.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive) &&
            !IsWaveFile(folder + found)) {
            return QStringLiteral("%1 is not a wave file").arg(found);
        }
        return QString();
    };
    // A chosen name must be nobody else's: not another record's, not a
    // file this run wrote, and not a file in the folder (another bank's
    // sample, say) unless that file holds exactly this sample's data, which
    // is how the same name is found again when the bank is opened again.
    const auto freeFor = [&](int index) {
        return [&, index](const QString& name) {
            if (QString(folder + name).compare(bankPath, Qt::CaseInsensitive) == 0 ||
                names.IsTakenByOther(name, m_pResources[index]) || batch.FindAdded(name) >= 0) {
                return false;
            }
            const QString found = listing.Resolve(name);
            return found.isEmpty() || (!listing.IsFolder(found) && listing.IsRegularFile(found) &&
                                       WaveHolds(folder + found, OpenedData(index)));
        };
    };
    // Per resource: the number of the batch file its data waits in, or -1.
    std::vector<int> waitsIn(static_cast<size_t>(m_nResources), -1);
    // Case-folded file name -> the first banked sample of this bank that took it.
    QHash<QString, int> takenBy;
    // Samples that got a file of their own although their records named one.
    QStringList renamed;
    // Wave files that could not be written are told of in one message at the
    // end, with the first failure's cause: on a full disk every sample after
    // the first fails too, and a message for each would be hundreds of them.
    CFileException firstError;
    qsizetype notWritten = 0;
    const auto noteFailure = [&](const CFileException& error, qsizetype count) {
        if (notWritten == 0) {
            firstError = error;
        }
        notWritten += count;
    };
    qint64 done = 0;
    for (int i = 0; i < m_nResources; ++i) {
        SoundResource& resource = m_pResources[i];
        if (!resource.IsBankedSample()) {
            continue;
        }
        QString fileName = CBnmFormat::FileNameText(resource);
        // A record without a name of its own, or one naming the bank itself,
        // gets a name whether or not there is a names file; otherwise its data
        // would have no file to live in and the next save would drop it. A name
        // with a folder part ("../x.wav") gets one too: a bank must not make us
        // write files outside its folder.
        if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
            fileName == QStringLiteral(".") || fileName == QStringLiteral("..") ||
            QString(folder + fileName).compare(bankPath, Qt::CaseInsensitive) == 0) {
            fileName = ChooseSampleName(i, freeFor(i));
            rename(resource, fileName);
        }
        // Two records of this bank that name one file (the same name, or
        // names that differ only in case) share it only when their data are
        // the same; otherwise the later one's data would be replaced by the
        // earlier one's on the next save.
        const auto first = takenBy.constFind(fileName.toCaseFolded());
        if (first != takenBy.cend() && OpenedData(*first) != OpenedData(i)) {
            const QString own = ChooseSampleName(i, freeFor(i));
            renamed.append(QStringLiteral("%1 -> %2 (another sample names the same file "
                                          "with other data)")
                               .arg(fileName, own));
            fileName = own;
            rename(resource, fileName);
        }
        // A file an earlier record of this bank wrote counts as existing.
        int waiting = batch.FindAdded(fileName);
        // A folder of that name is no wave file: writing fails below and is
        // reported, and saving keeps the data from the bank.
        QString existing = waiting >= 0 ? QString() : existingFile(fileName);
        if (!existing.isEmpty()) {
            const QString why = foreignReason(existing);
            if (!why.isEmpty()) {
                const QString own = ChooseSampleName(i, freeFor(i));
                renamed.append(QStringLiteral("%1 -> %2 (%3)").arg(fileName, own, why));
                fileName = own;
                rename(resource, fileName);
                waiting = batch.FindAdded(fileName);
                existing = waiting >= 0 ? QString() : existingFile(fileName);
            }
        }
        takenBy.insert(fileName.toCaseFolded(), i);
        const QString wave = folder + fileName;
        if (waiting >= 0 || !existing.isEmpty()) {
            m_extraction[static_cast<size_t>(i)] = Extraction::Written;
            waitsIn[static_cast<size_t>(i)] = waiting;
            // What of the sample the bank holds, so a save can tell whether
            // the bank is all that is left of it.
            const QByteArrayView held = OpenedData(i);
            if (!held.isEmpty()) {
                m_openedRange[static_cast<size_t>(i)] = {
                    reinterpret_cast<const quint8*>(held.data()) - m_pData.get(), held.size()};
            }
            continue;
        }

        const qint64 start = static_cast<qint64>(m_pHeader->sampleDataOffset) + resource.offset;
        qint64 length = resource.length;
        if (start < 0 || start + length > m_nFileSize) {
            AfxMessageBox(QStringLiteral("End of file reached.\nTruncating sample %1").arg(wave),
                          MB_OK | MB_ICONEXCLAMATION);
            length = start < 0 ? -1 : m_nFileSize - start;
            resource.length = static_cast<qint32>(length);
            SetModifiedFlag(true);
        }
        if (length < 0) {
            AfxMessageBox(QStringLiteral("Negative length.\nCan't save sample to %1").arg(wave),
                          MB_OK | MB_ICONHAND);
            length = 0;
            resource.length = 0;
            SetModifiedFlag(true);
        }
        const qint64 from = length > 0 ? start : 0;
        m_openedRange[static_cast<size_t>(i)] = {from, length};
        CFileException error;
        const int added = WriteWaveFile(batch, fileName, from, length, i, error);
        if (added < 0) {
            noteFailure(error, 1);
        }
        m_extraction[static_cast<size_t>(i)] =
            added >= 0 ? Extraction::Written : Extraction::Failed;
        waitsIn[static_cast<size_t>(i)] = added;
        done += length;
        progress.Step(done);
    }

    CFileException commitError;
    const std::vector<int> failed = batch.Commit(commitError);
    if (!failed.empty()) {
        for (int i = 0; i < m_nResources; ++i) {
            const int waited = waitsIn[static_cast<size_t>(i)];
            if (waited >= 0 && std::binary_search(failed.begin(), failed.end(), waited)) {
                m_extraction[static_cast<size_t>(i)] = Extraction::Failed;
            }
        }
        noteFailure(commitError, static_cast<qsizetype>(failed.size()));
    }
    progress.End();
    m_nUnwritten = notWritten;
    if (!renamed.isEmpty()) {
        AfxMessageBox(QStringLiteral("These samples were given wave files of their own:\n%1\n"
                                     "Saving the bank keeps the new names.")
                          .arg(ListForMessage(renamed)),
                      MB_OK | MB_ICONEXCLAMATION);
    }
    if (notWritten > 0) {
        const QString consequence =
            notWritten == 1
                ? QStringLiteral("The wave file was not written; the bank keeps its sample data.")
                : QStringLiteral(
                      "%1 wave files were not written; the bank keeps their sample data.")
                      .arg(notWritten);
        firstError.m_strDetail = firstError.m_strDetail.isEmpty()
                                     ? consequence
                                     : firstError.m_strDetail + QLatin1Char('\n') + consequence;
        firstError.ReportError();
    }
}

// ---------------------------------------------------------------------------
// Saving

CKantelDoc::WaveCheck CKantelDoc::CheckWave(CFile& wave, const QString& path) {
    WaveCheck check;
    check.path = path;
    CFileException error;
    if (!wave.Open(path, CFile::modeRead, &error)) {
        check.problem = error.m_cause == CFileException::fileNotFound     ? WaveProblem::Missing
                        : error.m_cause == CFileException::notRegularFile ? WaveProblem::NotRegular
                                                                          : WaveProblem::Unreadable;
        return check;
    }
    check.path = wave.GetFilePath();
    try {
        if (!CWaveFile::FindDataChunk(wave, &check.dataOffset, &check.available, &check.claimed)) {
            check.problem = WaveProblem::NotWave;
        } else if (check.claimed <= 0 || check.available <= 0) {
            check.problem = WaveProblem::NoData;
        } else if (check.claimed > std::numeric_limits<qint32>::max()) {
            check.problem = WaveProblem::TooLarge;
        }
    } catch (const CFileException&) {
        check.problem = WaveProblem::Unreadable;
    }
    return check;
}

QString CKantelDoc::ProblemText(const WaveCheck& check) {
    switch (check.problem) {
    case WaveProblem::Missing:
        return QStringLiteral("%1 was not found").arg(check.path);
    case WaveProblem::NotRegular:
        return QStringLiteral("%1 is not a regular file").arg(check.path);
    case WaveProblem::Unreadable:
        return QStringLiteral("%1 could not be read").arg(check.path);
    case WaveProblem::NotWave:
        return QStringLiteral("%1 exists but is not a wave file").arg(check.path);
    case WaveProblem::NoData:
        return QStringLiteral("%1 exists but holds no sample data").arg(check.path);
    case WaveProblem::TooLarge:
        return QStringLiteral("%1 holds more sample data than a bank can hold").arg(check.path);
    case WaveProblem::None:
        break;
    }
    return QString();
}

bool CKantelDoc::StoreSample(CFile& file, int index) {
    WaveCheck check;
    return StoreChecked(file, index, check);
}

// A data chunk that claims more bytes than its file holds is what a write
// cut short leaves behind (a full disk, a killed program). The file gives
// what it has; where the bank held the sample when it was opened, the rest
// comes from there, so the sample keeps the length its record gives it.
bool CKantelDoc::StoreChecked(CFile& file, int index, WaveCheck& check) {
    QString path;
    if (!GetSampleFilePath(index, path)) {
        check.problem = WaveProblem::Missing;
        return false;
    }
    CFile wave;
    check = CheckWave(wave, path);
    if (check.problem != WaveProblem::None) {
        return false;
    }
    const auto [openedAt, openedLength] = m_openedRange[static_cast<size_t>(index)];
    const qint64 fromBank =
        check.claimed > check.available && openedAt >= 0 && openedLength > check.available
            ? std::min(check.claimed, openedLength) - check.available
            : 0;
    // A record keeps a length of 31 bits and the header a file length of 32;
    // data they cannot describe would be written with offsets that lie.
    if (file.GetPosition() + check.available + fromBank > qint64{0xFFFFFFFF}) {
        check.problem = WaveProblem::TooLarge;
        return false;
    }
    try {
        wave.Seek(check.dataOffset, CFile::begin);
    } catch (const CFileException&) {
        check.problem = WaveProblem::Unreadable;
        return false;
    }
    QByteArray buffer(static_cast<qsizetype>(std::min(check.available, kCopyChunk)), '\0');
    qint64 left = check.available;
    while (left > 0) {
        const qint64 want = std::min<qint64>(left, buffer.size());
        qint64 got = 0;
        try {
            got = wave.Read(buffer.data(), want);
        } catch (const CFileException&) {
            check.problem = WaveProblem::Unreadable;
            return false;
        }
        if (got != want) {
            check.problem = WaveProblem::Unreadable;
            return false;
        }
        // A failure to write the bank is the save's failure, not the sample's.
        file.Write(buffer.constData(), got);
        left -= got;
    }
    if (fromBank > 0) {
        file.Write(m_pData.get() + openedAt + check.available, fromBank);
    }
    if (check.claimed > check.available) {
        m_shortWaves.push_back({CBnmFormat::FileNameText(m_pResources[index]), check.available,
                                check.claimed, fromBank});
    }
    return true;
}

bool CKantelDoc::StoreFromImage(CFile& file, int index) {
    const auto [start, length] = m_openedRange[static_cast<size_t>(index)];
    if (length <= 0 || start < 0 || start + length > m_nImageSize) {
        return false;
    }
    file.Write(m_pData.get() + start, length);
    return true;
}

// Every banked sample's length is made the number of bytes actually appended
// for it and the offsets are recomputed before the header region is written
// the last time, so the offsets always describe the data, whatever the file
// had and whatever size the wave files are.
//
// A save must never drop data that only the bank on disk holds: a sample
// banked when the bank was opened whose wave file cannot give its data back,
// whether it is still banked or was made external since. All such samples are
// gathered and named in one refusal, and the old bank stays.
bool CKantelDoc::WriteBank(CFile& file) {
    if (!m_bLoaded) {
        return false;
    }
    const qint64 region = HeaderRegionSize();
    file.SeekToBegin();
    file.Write(m_pData.get(), region);
    m_shortWaves.clear();

    std::vector<LostSample> lost;
    qint64 total = 0;
    for (int i = 0; i < m_nResources; ++i) {
        const SoundResource& resource = m_pResources[i];
        if (resource.IsBankedSample()) {
            total += std::max(qint32{resource.length}, 0);
            continue;
        }
        const size_t at = static_cast<size_t>(i);
        if (!resource.IsSample() || m_openedRange[at].second <= 0) {
            continue;
        }
        if (m_extraction[at] == Extraction::Failed) {
            lost.push_back({CBnmFormat::FileNameText(resource), false,
                            QStringLiteral("its wave file could not be written")});
        } else if (m_extraction[at] == Extraction::Written) {
            QString path;
            GetSampleFilePath(i, path);
            CFile wave;
            const WaveCheck check = CheckWave(wave, path);
            if (check.problem != WaveProblem::None) {
                lost.push_back({CBnmFormat::FileNameText(resource), false, ProblemText(check)});
            }
        }
    }
    IProgressSink& progress = Progress();
    progress.Begin(QStringLiteral("Saving"), total);
    for (int i = 0; i < m_nResources; ++i) {
        SoundResource& resource = m_pResources[i];
        if (!resource.IsBankedSample()) {
            continue;
        }
        const qint64 before = file.GetPosition();
        WaveCheck check;
        bool stored = StoreChecked(file, i, check);
        if (!stored) {
            file.Seek(before, CFile::begin);
            const Extraction extraction = m_extraction.at(static_cast<size_t>(i));
            if (extraction == Extraction::Failed) {
                // Opening could not write its wave file; its data is still here.
                stored = StoreFromImage(file, i);
            } else if (extraction == Extraction::Written &&
                       m_openedRange.at(static_cast<size_t>(i)).second > 0) {
                // Turning it external would lose it. A sample of which the
                // bank held nothing has nothing to lose and goes external
                // like any other.
                lost.push_back({CBnmFormat::FileNameText(resource), true, ProblemText(check)});
                continue;
            }
        }
        if (!stored) {
            // Told once the bank is saved: if the save fails, the record
            // stays as it was and the file error is all the user needs.
            m_unstored.append(CBnmFormat::FileNameText(resource));
            resource.storage = SoundResource::kStorageExternal;
            continue;
        }
        resource.length = static_cast<qint32>(file.GetPosition() - before);
        progress.Step(file.GetPosition() - region);
    }
    progress.End();
    if (!lost.empty()) {
        QStringList lines;
        for (const LostSample& sample : lost) {
            lines.append(sample.banked
                             ? QStringLiteral("Couldn't store %1: %2.").arg(sample.name, sample.why)
                             : QStringLiteral("%1 is no longer banked, and %2.")
                                   .arg(sample.name, sample.why));
        }
        m_shortWaves.clear();
        throw CFileException(
            CFileException::none, file.GetFilePath(),
            QStringLiteral("%1\n%2 the only copy of %3 sample data, so the bank was not saved.")
                .arg(ListForMessage(lines), QStringLiteral("The bank holds"),
                     lost.size() == 1 ? QStringLiteral("its") : QStringLiteral("their")));
    }
    UpdateSampleOffsets();
    const qint64 end = file.GetPosition();
    // A sample that failed half-way may have left bytes past the end.
    file.SetLength(end);
    m_pHeader->fileLength = static_cast<quint32>(end);
    m_nFileSize = end;
    file.SeekToBegin();
    file.Write(m_pData.get(), region);
    file.SeekToEnd();
    return true;
}
