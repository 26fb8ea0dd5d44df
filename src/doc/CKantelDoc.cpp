// Long: the one class that turns the format library's results into messages.
#include "CKantelDoc.h"

#include "CMissingWaves.h"
#include "IHeaderViewer.h"
#include "format/CBankAndNames.h"
#include "format/CBankFolderFiles.h"
#include "format/CBankReader.h"
#include "format/CBnmFormat.h"
#include "format/CFileBankOutput.h"
#include "format/CMessageList.h"
#include "format/CNamesFileReader.h"
#include "format/CSampleExtractor.h"
#include "format/CSoundImporter.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CArchive.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFileLock.h"
#include "framework/core/CPlural.h"
#include "framework/core/IProgressSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
// How long a save waits for another writer of the bank to finish.
constexpr std::chrono::milliseconds kLockWait{2000};
} // namespace

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
    m_image = BankImage();
    m_pSampleData.reset();
    m_bToldSampleData = false;
    m_bNamesLoaded = false;
    m_pNames.reset();
    m_nFileSize = -1;
    m_extraction.clear();
    m_pStaged.reset();
    m_stagedWaves.clear();
    m_namedWithSave.clear();
    m_strOpened.clear();
    m_strDiskPath.clear();
    m_importedWaves.clear();
    m_trashedWaves.clear();
    m_diskIdentity = CFileIdentity();
    m_toldIdentity = CFileIdentity();
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
    TellMissingWaves();
    return true;
}

void CKantelDoc::TellMissingWaves() const {
    const CMissingWaves::Result missing = CMissingWaves::Find(m_strFolder, Resources());
    if (missing.Empty()) {
        return;
    }
    QStringList lines = missing.files;
    for (const int index : missing.unnamed) {
        const QString name =
            GetResourceName(Resources()[static_cast<size_t>(index)].resourceId & 0xFFFF);
        lines.append(
            (name.isEmpty()
                 ? QCoreApplication::translate("CKantelDoc", "resource %1 names no wave file")
                       .arg(index)
                 : QCoreApplication::translate("CKantelDoc", "resource %1 (%2) names no wave file")
                       .arg(index)
                       .arg(name)));
    }
    const auto n = static_cast<qint64>(lines.size());
    const QString head =
        n == 1 ? QCoreApplication::translate("CKantelDoc",
                                             "The wave file of an external sample is missing; "
                                             "the game would play silence for it:")
               : QCoreApplication::translate("CKantelDoc",
                                             "%1 wave files of external samples are missing; "
                                             "the game would play silence for them:")
                     .arg(n);
    AfxMessageBox(head + QLatin1Char('\n') + CMessageList::Join(lines), MB_OK | MB_ICONEXCLAMATION);
}

bool CKantelDoc::LoadBankAndNames(const QString& path) {
    if (!CDocument::OnOpenDocument(path) || !m_bLoaded) {
        return false;
    }
    m_strOpened = QFileInfo(path).absoluteFilePath();
    // A names file is optional: any trouble with it only means no names, and
    // the user hears of it only where there is a file that is not one.
    QString problem;
    std::optional<NamesTable> names =
        CBankAndNames::NamesBeside(path, m_image.resourceCount, &problem);
    if (!names) {
        m_pNames.reset();
        m_nameIndex = CNameIdIndex();
        m_bNamesLoaded = false;
        if (!problem.isEmpty()) {
            AfxMessageBox(problem, MB_OK | MB_ICONEXCLAMATION);
        }
        return true;
    }
    TakeNames(*names);
    return true;
}

bool CKantelDoc::IsSaveObstacle(const QString& path) const {
    // Save As onto a sample's wave, a names file or another bank of the
    // folder would put the bank where the only copy of something was.
    const CBankFolderFiles::Role obstacle =
        CBankFolderFiles::SaveObstacle(path, BankPath(), Resources());
    if (!obstacle) {
        return false;
    }
    AfxMessageBox(
        QCoreApplication::translate("CKantelDoc", "%1 is %2.\nThe bank is not saved there, so that "
                                                  "file is kept as it is.")
            .arg(QFileInfo(path).absoluteFilePath(), CBankFolderFiles::Describe(obstacle)),
        MB_OK | MB_ICONHAND);
    return true;
}

bool CKantelDoc::LockForSave(const QString& path, CFileLock& lock) {
    // Another writer of this bank finishes first; what it saved is then
    // found by the identity check instead of being replaced.
    if (lock.Acquire(path, QCoreApplication::applicationName(), kLockWait) !=
        CFileLock::Result::Busy) {
        return true;
    }
    AfxMessageBox(QCoreApplication::translate("CKantelDoc",
                                              "%1 is being written by %2.\nThe bank is not saved; "
                                              "save again once that is done.")
                      .arg(QFileInfo(path).absoluteFilePath(),
                           lock.Holder().isEmpty()
                               ? QCoreApplication::translate("CKantelDoc", "another program")
                               : lock.Holder()),
                  MB_OK | MB_ICONHAND);
    return false;
}

bool CKantelDoc::OnSaveDocument(const QString& path) {
    CFileLock lock;
    if (m_bLoaded && (IsSaveObstacle(path) || !LockForSave(path, lock) || !MaySaveOver(path))) {
        return false;
    }
    // Saving rewrites records (lengths, offsets, samples that could not be
    // stored). If the save fails, none of that happened on disk, so none of it
    // may stay in memory either.
    QByteArray region;
    const qint64 fileSize = m_nFileSize;
    if (m_bLoaded) {
        region = QByteArray(reinterpret_cast<const char*>(m_image.data.get()),
                            static_cast<qsizetype>(HeaderRegionSize()));
    }
    m_unstored.clear();
    m_bSaving = true;
    const bool saved = CDocument::OnSaveDocument(path);
    m_bSaving = false;
    m_savingOver = CFileIdentity();
    SettleStagedWaves(saved);
    if (saved) {
        m_strDiskPath = QFileInfo(path).absoluteFilePath();
        m_diskIdentity = CFileIdentity::OfPath(m_strDiskPath);
        m_toldIdentity = m_diskIdentity;
        TrashUndoneImports(path);
    }
    const QStringList unstored = std::exchange(m_unstored, QStringList());
    const std::vector<CBankWriter::ShortWave> shortWaves = std::exchange(m_shortWaves, {});
    const std::vector<CBankWriter::Reformatted> reformatted = std::exchange(m_reformatted, {});
    if (saved) {
        TellReformatted(reformatted);
        for (const QString& name : unstored) {
            AfxMessageBox(QCoreApplication::translate("CKantelDoc", "Couldn't store %1").arg(name),
                          MB_OK | MB_ICONHAND);
        }
        TellShortWaves(shortWaves);
    }
    if (!saved && m_bLoaded) {
        std::memcpy(m_image.data.get(), region.constData(), static_cast<size_t>(region.size()));
        m_nFileSize = fileSize;
    }
    if (saved && m_bLoaded) {
        NoteWhatTheSavedBankHolds();
    }
    UpdateAllViews(nullptr, 0, nullptr);
    return saved;
}

void CKantelDoc::TellReformatted(const std::vector<CBankWriter::Reformatted>& reformatted) {
    if (reformatted.empty()) {
        return;
    }
    const auto format = [](int rate, int channels, int bits) {
        return QCoreApplication::translate("CKantelDoc", "%1 Hz, %2, %3 bits")
            .arg(rate)
            .arg(CPlural::Text("CKantelDoc", QT_TRANSLATE_N_NOOP("CKantelDoc", "%n channel(s)"),
                               channels))
            .arg(bits);
    };
    QStringList lines;
    for (const CBankWriter::Reformatted& r : reformatted) {
        QString line =
            QStringLiteral("%1: %2 (was %3)")
                .arg(r.name, format(r.newSamplesPerSec, r.newChannels, r.newBitsPerSample),
                     format(r.samplesPerSec, r.channels, r.bitsPerSample));
        if (r.loopKept) {
            line += QCoreApplication::translate(
                "CKantelDoc", "; the old format gave no time for its loop, which keeps its "
                              "bytes: check it");
        }
        lines.append(line);
    }
    AfxMessageBox(QCoreApplication::translate(
                      "CKantelDoc", "These samples' wave files are in another format than "
                                    "their records said; the records now give the files' "
                                    "format, so the game plays them as they are, and their "
                                    "loops start and end at the same times:\n%1")
                      .arg(CMessageList::Join(lines)),
                  MB_OK | MB_ICONINFORMATION);
}

void CKantelDoc::TellShortWaves(const std::vector<CBankWriter::ShortWave>& shortWaves) {
    if (shortWaves.empty()) {
        return;
    }
    QStringList lines;
    for (const CBankWriter::ShortWave& wave : shortWaves) {
        lines.append(wave.fromBank > 0
                         ? QCoreApplication::translate(
                               "CKantelDoc", "%1 holds %2 of the %3 bytes its data chunk claims; "
                                             "the other %4 were kept from the bank.")
                               .arg(wave.name)
                               .arg(wave.available)
                               .arg(wave.claimed)
                               .arg(wave.fromBank)
                         : QCoreApplication::translate(
                               "CKantelDoc", "%1 holds %2 of the %3 bytes its data chunk claims; "
                                             "only those were saved.")
                               .arg(wave.name)
                               .arg(wave.available)
                               .arg(wave.claimed));
    }
    AfxMessageBox(
        QCoreApplication::translate("CKantelDoc", "Some wave files are shorter than they say:\n%1")
            .arg(CMessageList::Join(lines)),
        MB_OK | MB_ICONEXCLAMATION);
}

// The saved bank now holds every banked sample, so from here on a vanished
// wave file of any of them must stop a save as well; an external one it no
// longer holds. Samples whose data never reached a wave file keep coming
// from the image, which still has them.
void CKantelDoc::NoteWhatTheSavedBankHolds() {
    for (int i = 0; i < m_image.resourceCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        SampleExtraction& extraction = m_extraction[at];
        if (extraction.state == SampleExtraction::State::Failed) {
            continue;
        }
        const SoundResource& resource = m_image.resources[i];
        if (resource.IsBankedSample() && resource.length > 0) {
            // The saved bank holds this much of it. Where is no longer
            // known in memory: the image is the bank as it was opened.
            extraction = {SampleExtraction::State::Written, -1,
                          static_cast<qint64>(resource.length)};
        } else if (resource.IsSample()) {
            extraction = {};
        }
    }
}

namespace {
// The trash keeps a note beside its files folder of where each file came from.
QString trashInfoOf(const QString& inTrash) {
    const QFileInfo trashed(inTrash);
    return trashed.path() + QStringLiteral("/../info/") + trashed.fileName() +
           QStringLiteral(".trashinfo");
}
} // namespace

void CKantelDoc::TrashUndoneImports(const QString& savedPath) {
    // Saved elsewhere, the bank in the folder may still name them.
    if (QFileInfo(QFileInfo(savedPath).absolutePath()).canonicalFilePath() !=
        QFileInfo(m_strFolder).canonicalFilePath()) {
        return;
    }
    const CBankFolderFiles files(m_strFolder);
    QStringList kept;
    for (const QString& name : std::as_const(m_importedWaves)) {
        const QString path = GetBankFolder() + name;
        if (IsWaveNameTaken(name) || files.RoleOf(path)) {
            kept.append(name);
            continue;
        }
        // Never deleted outright: the user may want the sound back. A wave
        // the trash will not take stays for Check Bank to report.
        if (!QFileInfo(path).isFile()) {
            continue;
        }
        // Qt 6.4 puts the file into "./files" of the working folder when the
        // home trash's parent folder does not exist yet.
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/Trash"));
        QString inTrash;
        if (!QFile::moveToTrash(path, &inTrash)) {
            kept.append(name);
            continue;
        }
        if (QFileInfo(inTrash).isRelative()) {
            QFile::rename(inTrash, path);
            QFile::remove(trashInfoOf(inTrash));
            kept.append(name);
            continue;
        }
        m_trashedWaves.insert(name, inTrash);
    }
    m_importedWaves = kept;
}

void CKantelDoc::RestoreTrashedWaves() {
    for (auto it = m_trashedWaves.begin(); it != m_trashedWaves.end();) {
        const QString path = GetBankFolder() + it.key();
        if (!IsWaveNameTaken(it.key()) || QFileInfo::exists(path) ||
            !QFile::rename(it.value(), path)) {
            ++it;
            continue;
        }
        // The trash's note of where the file came from goes with it.
        QFile::remove(trashInfoOf(it.value()));
        m_importedWaves.append(it.key());
        it = m_trashedWaves.erase(it);
    }
}

void CKantelDoc::OnCloseDocument() {
    CDocument::OnCloseDocument();
}

bool CKantelDoc::IsDiskFile(const QString& path) const {
    if (m_strDiskPath.isEmpty()) {
        return false;
    }
    const QFileInfo target(path);
    const QFileInfo disk(m_strDiskPath);
    const QString canonical = target.canonicalFilePath();
    return canonical.isEmpty() ? target.absoluteFilePath() == disk.absoluteFilePath()
                               : canonical == disk.canonicalFilePath();
}

bool CKantelDoc::ChangedOnDisk() const {
    if (m_strDiskPath.isEmpty() || !m_diskIdentity.IsValid() || m_bSaving) {
        return false;
    }
    return CFileIdentity::OfPath(m_strDiskPath) != m_diskIdentity;
}

bool CKantelDoc::MaySaveOver(const QString& path) {
    if (!IsDiskFile(path) || !m_diskIdentity.IsValid()) {
        return true;
    }
    const CFileIdentity now = CFileIdentity::OfPath(path);
    // A bank that vanished loses nothing by being written anew.
    if (now.IsValid() && now != m_diskIdentity) {
        switch (AfxMessageBox(QCoreApplication::translate(
                                  "CKantelDoc", "%1 was changed on disk by another program since "
                                                "it was opened or saved here; saving now would "
                                                "replace those changes.")
                                  .arg(QFileInfo(path).absoluteFilePath()),
                              MB_SAVEANYWAYRELOADCANCEL | MB_ICONHAND)) {
        case IDSAVEANYWAY:
            break;
        case IDRELOAD:
            Reload();
            return false;
        default:
            return false;
        }
    }
    m_savingOver = now;
    return true;
}

bool CKantelDoc::Reload() {
    const QString path = m_strDiskPath.isEmpty() ? BankPath() : m_strDiskPath;
    const bool opened = OnOpenDocument(path);
    UpdateAllViews(nullptr, 0, nullptr);
    return opened;
}

void CKantelDoc::OnFileChangedOnDisk() {
    if (!ChangedOnDisk()) {
        return;
    }
    const CFileIdentity now = CFileIdentity::OfPath(m_strDiskPath);
    if (now == m_toldIdentity) {
        return;
    }
    m_toldIdentity = now;
    const QString file = m_strDiskPath;
    if (!now.IsValid()) {
        AfxMessageBox(QCoreApplication::translate(
                          "CKantelDoc", "%1 was removed or renamed by another program.\nSaving "
                                        "writes the bank there again.")
                          .arg(file),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const QString text =
        IsModified()
            ? QCoreApplication::translate(
                  "CKantelDoc", "%1 was changed on disk by another program.\nDo you want to "
                                "reload it? Your changes to it here would be lost.")
            : QCoreApplication::translate("CKantelDoc", "%1 was changed on disk by another "
                                                        "program.\nDo you want to reload it?");
    if (AfxMessageBox(text.arg(file),
                      MB_YESNO | MB_ICONQUESTION | (IsModified() ? MB_DEFBUTTON2 : 0U)) == IDYES) {
        Reload();
    }
}

QString CKantelDoc::BankPath() const {
    return GetPathName().isEmpty() ? m_strOpened : GetPathName();
}

// ---------------------------------------------------------------------------
// Reading

qint64 CKantelDoc::HeaderRegionSize() const {
    return m_image.header != nullptr ? m_image.regionSize : 0;
}

bool CKantelDoc::ReadBank(CFile& file) {
    m_strFolder.clear();
    m_nFileSize = file.GetLength();
    m_image = BankImage();
    m_pSampleData.reset();
    m_bToldSampleData = false;
    CResult<BankImage> read = CBankReader::ReadHeaderRegion(file);
    if (!read) {
        if (!read.Error().text.isEmpty()) {
            AfxMessageBox(read.Error().text, MB_OK | MB_ICONHAND);
        }
        return false;
    }
    BankImage& image = read.Value();
    // The sample data waits in the file, kept open, for whoever needs it;
    // most opens and saves never do, as every wave file exists. A file that
    // cannot be kept open as it was read has its data read now. A save puts
    // a new file in the bank's place (never writes the old one), so the kept
    // file stays the bank as it was opened, whatever is saved over it.
    auto source = std::make_unique<CSampleDataSource>(file.GetFilePath(), file.GetIdentity(),
                                                      image.regionSize, image.size);
    if (!source->IsValid()) {
        const qint64 rest = image.size - image.regionSize;
        file.Seek(image.regionSize, CFile::begin);
        if (file.Read(image.data.get() + image.regionSize, rest) != rest) {
            return false;
        }
        source.reset();
    }
    m_strDiskPath = file.GetFilePath();
    m_diskIdentity = file.GetIdentity();
    m_toldIdentity = m_diskIdentity;
    m_image = std::move(image);
    m_pSampleData = std::move(source);
    for (const QString& warning : m_image.warnings) {
        AfxMessageBox(warning, MB_OK | MB_ICONEXCLAMATION);
    }
    m_extraction.assign(static_cast<size_t>(m_image.resourceCount), SampleExtraction());
    m_strFolder = m_image.folder;
    return true;
}

// ---------------------------------------------------------------------------
// Names file

bool CKantelDoc::ReadNames(CFile& file) {
    CResult<NamesTable> names = CNamesFileReader::Read(file, m_image.resourceCount);
    if (!names) {
        return false;
    }
    TakeNames(names.Value());
    return true;
}

void CKantelDoc::TakeNames(NamesTable& names) {
    // A file without a body names nothing but still counts as read.
    if (names.names) {
        m_pNames = std::move(names.names);
        m_nameIndex = std::move(names.firstOfId);
    }
    m_bNamesLoaded = true;
}

const ResourceName* CKantelDoc::FindResourceName(int id) const {
    return Records().FindResourceName(id);
}

QString CKantelDoc::GetResourceName(int id) const {
    return Records().GetResourceName(id);
}

QString CKantelDoc::GetResourceDescription(int id) const {
    return Records().GetResourceDescription(id);
}

// ---------------------------------------------------------------------------
// Questions the views ask

QString CKantelDoc::GetBankFolder() const {
    return m_strFolder + QLatin1Char('/');
}

QString CKantelDoc::GetResourceLabel(quint32 target) const {
    return Records().GetResourceLabel(target);
}

QString CKantelDoc::GetEventLabel(quint32 target) const {
    return Records().GetEventLabel(target);
}

bool CKantelDoc::GetSampleFilePath(int index, QString& path) const {
    if (!m_bLoaded || index < 0 || index >= m_image.resourceCount ||
        !m_image.resources[index].IsSample()) {
        return false;
    }
    path = CBankWriter::SampleFilePath(GetBankFolder(), m_image.resources[index]);
    return true;
}

void CKantelDoc::UpdateSampleOffsets() {
    if (m_image.header == nullptr) {
        return;
    }
    m_nFileSize = CBankWriter::UpdateSampleOffsets(
        *m_image.header, {m_image.resources, static_cast<size_t>(m_image.resourceCount)});
}

BnmHeaderFigures CKantelDoc::GetHeaderFigures() const {
    return Records().GetHeaderFigures();
}

void CKantelDoc::OnViewHeader() {
    // Without a loaded bank there is nothing to show; the menus do not offer
    // the command then, but a stray accelerator must not show empty figures.
    if (m_image.header == nullptr) {
        return;
    }
    CSeam<IHeaderViewer>::Current().Show(GetHeaderFigures());
}

// ---------------------------------------------------------------------------
// Storage commands

namespace {
std::vector<CKantelDoc::ResourceEdit> storageEdits(std::span<const SoundResource> resources,
                                                   qint32 storage) {
    std::vector<CKantelDoc::ResourceEdit> edits;
    for (int i = 0; i < static_cast<int>(resources.size()); ++i) {
        const SoundResource& before = resources[static_cast<size_t>(i)];
        if (before.IsSample()) {
            CKantelDoc::ResourceEdit edit{i, before, before};
            edit.after.storage = storage;
            edits.push_back(edit);
        }
    }
    return edits;
}
} // namespace

void CKantelDoc::OnEditAllExternal() {
    ReplaceResources(storageEdits(Resources(), SoundResource::kStorageExternal),
                     QCoreApplication::translate("CKantelDoc", "All External"));
}

void CKantelDoc::OnEditAllBanked() {
    ReplaceResources(storageEdits(Resources(), SoundResource::kStorageBank),
                     QCoreApplication::translate("CKantelDoc", "All Banked"));
}

// ---------------------------------------------------------------------------
// Export

CSoundExporter::Bank CKantelDoc::ExporterBank() const {
    CSoundExporter::Bank bank;
    bank.records = Records();
    bank.folder = GetBankFolder();
    bank.bankFileName = QFileInfo(GetPathName()).fileName();
    // Where opening found each sample's data, not where its record says now:
    // a storage change since moves the offsets but not the image.
    bank.bankedData = [this](int index) { return OpenedData(index); };
    return bank;
}

QByteArrayView CKantelDoc::OpenedData(int index) const {
    const auto at = static_cast<size_t>(index);
    if (index < 0 || at >= m_extraction.size()) {
        return {};
    }
    const SampleExtraction& opened = m_extraction[at];
    if (opened.state == SampleExtraction::State::None || opened.openedAt < 0 ||
        opened.openedLength <= 0 || opened.openedAt + opened.openedLength > m_image.size ||
        !SampleDataAtHand()) {
        return {};
    }
    return {reinterpret_cast<const char*>(m_image.data.get() + opened.openedAt),
            static_cast<qsizetype>(opened.openedLength)};
}

CResult<void> CKantelDoc::LoadSampleData() const {
    if (!m_pSampleData) {
        return {};
    }
    return m_pSampleData->Fill(m_image.data.get());
}

bool CKantelDoc::SampleDataAtHand() const {
    const CResult<void> loaded = LoadSampleData();
    if (!loaded && !m_bToldSampleData) {
        m_bToldSampleData = true;
        AfxMessageBox(loaded.Error().text, MB_OK | MB_ICONHAND);
    }
    return loaded.Ok();
}

CBankComparer::Bank CKantelDoc::ComparisonBank() const {
    CSoundExporter::Bank exported = ExporterBank();
    return {exported.records, GetPathName(), std::move(exported.bankedData), true};
}

QString CKantelDoc::GetExportFileName(int index) const {
    return CSoundExporter(ExporterBank()).FileNameOf(index);
}

bool CKantelDoc::ChooseReplacements(std::vector<CSoundExporter::Target>& targets,
                                    const QString& folder, const ReplaceQuestion& askReplace) {
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    bool replaceAll = false;
    for (CSoundExporter::Target& target : targets) {
        if (!target.exists) {
            continue;
        }
        if (!replaceAll) {
            switch (askReplace(base + target.name)) {
            case ReplaceAnswer::YesToAll:
                replaceAll = true;
                break;
            case ReplaceAnswer::Yes:
                break;
            case ReplaceAnswer::No:
                continue;
            case ReplaceAnswer::Cancel:
                return false;
            }
        }
        target.overwrite = true;
    }
    return true;
}

bool CKantelDoc::TellExported(const CSoundExporter::Report& report, qsizetype targets,
                              const QString& folder) {
    // Where the files went and how many, which the list does not show.
    const auto n = static_cast<qint64>(report.written.size());
    const QString written =
        QCoreApplication::translate(
            "CKantelDoc",
            n == 1 ? QT_TRANSLATE_NOOP("CKantelDoc", "%1 wave file was written to %2.")
                   : QT_TRANSLATE_NOOP("CKantelDoc", "%1 wave files were written to %2."))
            .arg(n)
            .arg(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    if (report.failures.empty()) {
        AfxMessageBox(written, MB_OK | MB_ICONINFORMATION);
        return true;
    }
    QStringList lines;
    for (const CSoundExporter::Failure& failure : report.failures) {
        lines.append(failure.text);
    }
    const qsizetype wanted = targets - report.skipped.size();
    const QString what =
        wanted == 1
            ? QCoreApplication::translate("CKantelDoc", "The sound could not be exported:")
            : QCoreApplication::translate("CKantelDoc", "%1 of %2 sounds could not be exported:")
                  .arg(wanted - report.written.size())
                  .arg(wanted);
    AfxMessageBox(what + QLatin1Char('\n') + CMessageList::Join(lines) +
                      (n > 0 ? QLatin1Char('\n') + written : QString()),
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CKantelDoc::ExportSounds(const QString& folder, int index, const ReplaceQuestion& askReplace) {
    const CSoundExporter exporter(ExporterBank());
    std::vector<CSoundExporter::Target> targets = exporter.Plan(folder, index);
    if (targets.empty() || !ChooseReplacements(targets, folder, askReplace)) {
        return false;
    }
    const CSoundExporter::Report report = exporter.Export(folder, targets, Progress());
    return TellExported(report, static_cast<qsizetype>(targets.size()), folder);
}

// ---------------------------------------------------------------------------
// Records

std::span<const SoundResource> CKantelDoc::Resources() const {
    if (m_image.resources == nullptr) {
        return {};
    }
    return {m_image.resources, static_cast<size_t>(m_image.resourceCount)};
}

std::span<const SoundEvent> CKantelDoc::Events() const {
    if (m_image.events == nullptr) {
        return {};
    }
    return {m_image.events, static_cast<size_t>(m_image.eventCount)};
}

CBankRecords CKantelDoc::Records() const {
    return {m_image.header, Resources(), Events(), m_image.bank, m_pNames.get(), &m_nameIndex};
}

QByteArrayView CKantelDoc::GetImage() const {
    if (m_image.header == nullptr || m_nFileSize <= 0) {
        return {};
    }
    // Without its sample data the image is the header region alone.
    if (!SampleDataAtHand()) {
        return {reinterpret_cast<const char*>(m_image.data.get()),
                static_cast<qsizetype>(m_image.regionSize)};
    }
    return {reinterpret_cast<const char*>(m_image.data.get()),
            static_cast<qsizetype>(std::min(m_nFileSize, m_image.size))};
}

bool CKantelDoc::ReplaceResource(int index, const SoundResource& before, const SoundResource& after,
                                 const QString& label) {
    const ResourceEdit edit{index, before, after};
    return ReplaceResources({&edit, 1}, label.isEmpty() ? ResourceEditLabel(index) : label);
}

bool CKantelDoc::ReplaceResources(std::span<const ResourceEdit> edits, const QString& label) {
    bool sample = edits.empty();
    for (const ResourceEdit& edit : edits) {
        if (edit.index < 0 || edit.index >= m_image.resourceCount ||
            // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): packed, every byte a field's.
            std::memcmp(&m_image.resources[edit.index], &edit.before, sizeof(SoundResource)) != 0) {
            return false;
        }
        sample = sample || edit.before.IsSample() || edit.after.IsSample();
    }
    const CBankEdit::State before = CBankEdit::Capture(EditTables());
    for (const ResourceEdit& edit : edits) {
        m_image.resources[edit.index] = edit.after;
        if (edit.forgetOpenedData) {
            ForgetOpenedData(edit.index);
        }
    }
    if (sample) {
        UpdateSampleOffsets();
    }
    PushEdit(label, before);
    UpdateAllViews(nullptr, 0, nullptr);
    return true;
}

bool CKantelDoc::ReplaceEvent(int index, const SoundEvent& before, const SoundEvent& after,
                              const QString& label) {
    if (index < 0 || index >= m_image.eventCount ||
        // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): packed, every byte a field's.
        std::memcmp(&m_image.events[index], &before, sizeof(SoundEvent)) != 0) {
        return false;
    }
    const CBankEdit::State state = CBankEdit::Capture(EditTables());
    m_image.events[index] = after;
    PushEdit(label.isEmpty() ? EventEditLabel(index) : label, state);
    UpdateAllViews(nullptr, 0, nullptr);
    return true;
}

QString CKantelDoc::ResourceEditLabel(int index) const {
    if (index < 0 || index >= m_image.resourceCount) {
        return QCoreApplication::translate("CKantelDoc", "Properties");
    }
    const SoundResource& resource = m_image.resources[index];
    QString name = GetResourceName(static_cast<int>(resource.resourceId & 0xFFFFU));
    if (name.isEmpty() && resource.IsSample()) {
        name = CBnmFormat::FileNameText(resource);
    }
    if (name.isEmpty()) {
        name = QCoreApplication::translate("CKantelDoc", "Resource %1").arg(index);
    }
    return QCoreApplication::translate("CKantelDoc", "Properties of %1").arg(name);
}

QString CKantelDoc::EventEditLabel(int index) const {
    if (index < 0 || index >= m_image.eventCount) {
        return QCoreApplication::translate("CKantelDoc", "Properties");
    }
    return QCoreApplication::translate("CKantelDoc", "Properties of Event ID %1")
        .arg(m_image.events[index].eventId);
}

CBankEdit::Tables CKantelDoc::EditTables() {
    CBankEdit::Tables tables;
    if (m_image.resources != nullptr) {
        tables.resources = {m_image.resources, static_cast<size_t>(m_image.resourceCount)};
    }
    if (m_image.events != nullptr) {
        tables.events = {m_image.events, static_cast<size_t>(m_image.eventCount)};
    }
    tables.header = m_image.header;
    tables.fileSize = &m_nFileSize;
    tables.extraction = &m_extraction;
    return tables;
}

void CKantelDoc::PushEdit(const QString& label, const CBankEdit::State& before, bool bModified) {
    auto edit = std::make_shared<const CBankEdit>(CBankEdit::Since(before, EditTables()));
    if (!edit->IsEmpty()) {
        // The history goes with the bank (DeleteContents), so the steps never
        // outlive the tables they write.
        // A step that leaves the bank unmodified (the names opening gives)
        // leaves it so both ways: its undo gives the file as it is on disk.
        GetHistory().Push({label,
                           [this, edit] {
                               edit->Undo(EditTables());
                               RestoreTrashedWaves();
                           },
                           [this, edit] {
                               edit->Redo(EditTables());
                               RestoreTrashedWaves();
                           },
                           edit->Cost(), !bModified});
    }
    if (bModified) {
        SetModifiedFlag(true);
    } else if (!IsModified()) {
        GetHistory().SetClean();
    }
}

// ---------------------------------------------------------------------------
// Import

bool CKantelDoc::ImportSound(int index, const QString& source, const ImportOptions& options,
                             CSoundImporter::Imported* pImported) {
    if (index < 0 || index >= m_image.resourceCount || !m_image.resources[index].IsSample()) {
        // Nothing is imported: for a script that is an error, not a warning.
        AfxMessageBox(QCoreApplication::translate("CKantelDoc",
                                                  "Only a sample resource can take a sound file."),
                      MB_OK | MB_ICONHAND);
        return false;
    }
    const SoundResource before = m_image.resources[index];
    const CSoundImporter::Request request = ImportRequest(index, source, options);
    const CResult<CSoundImporter::Imported> imported =
        options.withNextSave ? StageImport(request) : CSoundImporter::Import(request, Progress());
    if (!imported) {
        AfxMessageBox(imported.Error().text, MB_OK | MB_ICONHAND);
        return false;
    }
    const CSoundImporter::Imported& result = imported.Value();
    m_importedWaves.append(result.fileName);
    if (!result.warning.isEmpty()) {
        AfxMessageBox(result.warning, MB_OK | MB_ICONEXCLAMATION);
    }
    if (pImported != nullptr) {
        *pImported = result;
    }
    const SoundResource after = CSoundImporter::RecordFor(before, result);
    QString name = GetResourceName(static_cast<int>(before.resourceId & 0xFFFFU));
    if (name.isEmpty()) {
        name = CBnmFormat::FileNameText(before);
    }
    const ResourceEdit edit{index, before, after, true};
    if (!ReplaceResources(
            {&edit, 1},
            name.isEmpty()
                ? QCoreApplication::translate("CKantelDoc", "Import Sound")
                : QCoreApplication::translate("CKantelDoc", "Import Sound into %1").arg(name))) {
        return false;
    }
    // The user asked for a sound as loud as the old one and has a quieter
    // one: that must not pass unsaid.
    if (result.loudness && result.loudness->heldBack) {
        AfxMessageBox(QCoreApplication::translate("CKantelDoc",
                                                  "%1 is quieter than the sound it replaces: %2.")
                          .arg(result.fileName, result.loudness->Text()),
                      MB_OK | MB_ICONINFORMATION);
    }
    return true;
}

CResult<CSoundImporter::Imported> CKantelDoc::StageImport(const CSoundImporter::Request& request) {
    if (!m_pStaged) {
        m_pStaged = std::make_unique<CFileBatch>(GetBankFolder());
    }
    CResult<CSoundImporter::Imported> staged =
        CSoundImporter::Stage(request, Progress(), *m_pStaged);
    if (staged) {
        const QString& name = staged.Value().fileName;
        m_stagedWaves.insert(name, m_pStaged->PendingPathOf(m_pStaged->FindAdded(name)));
    }
    return staged;
}

CSoundImporter::Request CKantelDoc::ImportRequest(int index, const QString& source,
                                                  const ImportOptions& options) const {
    CSoundImporter::Request request;
    request.source = source;
    request.folder = GetBankFolder();
    if (index >= 0 && index < m_image.resourceCount) {
        const SoundResource& r = m_image.resources[index];
        request.target = {r.channels, r.samplesPerSec, r.bitsPerSample};
    }
    request.keepRate = options.keepRate;
    request.matchLoudness = options.matchLoudness;
    request.reference = [this, index] { return MeasureSample(index); };
    request.isNameTaken = [this](const QString& name) { return IsWaveNameTaken(name); };
    return request;
}

CResult<CLoudnessMeter::Reading> CKantelDoc::MeasureSample(int index) const {
    QString path;
    if (!GetSampleFilePath(index, path)) {
        return FormatError{FormatError::Kind::Unreadable,
                           QCoreApplication::translate("CKantelDoc",
                                                       "Resource %1 is no sample whose loudness "
                                                       "can be measured.")
                               .arg(index)};
    }
    const SoundResource& r = m_image.resources[index];
    return CLoudnessMeter::MeasureSample(
        r, r.IsBankedSample() ? OpenedData(index) : QByteArrayView(), path);
}

bool CKantelDoc::ReplaceFromFolder(const CReplacePlan& plan,
                                   std::span<const CReplacePlan::Match> matches,
                                   const std::function<bool()>& cancelled) {
    if (!m_bLoaded || matches.empty()) {
        return false;
    }
    // The sounds are measured on worker threads; the bank's own data is read
    // here first, so that what may go wrong with it is told on this one.
    if (plan.options.matchLoudness) {
        SampleDataAtHand();
    }
    CFolderReplacer replacer(
        GetBankFolder(), [this](const QString& name) { return IsWaveNameTaken(name); },
        [this](int index) { return MeasureSample(index); });
    const CFolderReplacer::Outcome outcome = replacer.Convert(plan, matches, Progress(), cancelled);
    if (outcome == CFolderReplacer::Outcome::Cancelled) {
        return false;
    }
    if (outcome == CFolderReplacer::Outcome::Done && replacer.Commit()) {
        if (ApplyReplaced(replacer)) {
            return true;
        }
        replacer.RemoveCommitted();
    }
    QStringList lines;
    for (const CFolderReplacer::Failure& failure : replacer.Failures()) {
        lines.append(failure.message);
    }
    if (lines.isEmpty()) {
        lines.append(QCoreApplication::translate(
            "CKantelDoc", "The bank changed while the sounds were converted."));
    }
    AfxMessageBox(QCoreApplication::translate(
                      "CKantelDoc", "No sound was replaced, and no file was written:\n\n") +
                      lines.join(QLatin1Char('\n')),
                  MB_OK | MB_ICONHAND);
    return false;
}

bool CKantelDoc::ApplyReplaced(const CFolderReplacer& replacer) {
    std::vector<ResourceEdit> edits;
    for (const CFolderReplacer::Converted& converted : replacer.Results()) {
        if (converted.index < 0 || converted.index >= m_image.resourceCount ||
            !m_image.resources[converted.index].IsSample()) {
            return false;
        }
        const SoundResource& before = m_image.resources[converted.index];
        edits.push_back(
            {converted.index, before, CSoundImporter::RecordFor(before, converted.imported), true});
        m_importedWaves.append(converted.imported.fileName);
    }
    const int count = static_cast<int>(edits.size());
    // Only English ships: without a translator the n form would show as it
    // is written, so each number gets its own text.
    return ReplaceResources(
        edits, count == 1
                   ? QCoreApplication::translate("CKantelDoc", "Replace %n Sound", "", count)
                   : QCoreApplication::translate("CKantelDoc", "Replace %n Sounds", "", count));
}

bool CKantelDoc::IsWaveNameTaken(const QString& name) const {
    return std::any_of(Resources().begin(), Resources().end(), [&](const SoundResource& r) {
        return r.IsSample() && CBnmFormat::FileNameText(r).compare(name, Qt::CaseInsensitive) == 0;
    });
}

void CKantelDoc::ForgetOpenedData(int index) {
    if (index >= 0 && static_cast<size_t>(index) < m_extraction.size()) {
        m_extraction[static_cast<size_t>(index)] = SampleExtraction();
    }
}

std::vector<CBankChecker::Finding> CKantelDoc::CheckBank() const {
    if (!m_bLoaded) {
        return {};
    }
    CBankChecker::Bank bank;
    bank.records = Records();
    if (m_bNamesLoaded && m_pNames) {
        bank.names = {m_pNames.get(), static_cast<size_t>(m_image.resourceCount)};
    }
    bank.image = GetImage();
    // The length the records describe: it follows every change of storage,
    // while the image keeps the file as it was read.
    bank.fileSize = m_nFileSize;
    bank.path = GetPathName().isEmpty() ? QString() : QFileInfo(GetPathName()).absoluteFilePath();
    return CBankChecker(bank).Check();
}

// ---------------------------------------------------------------------------
// Extraction

void CKantelDoc::ExtractSamples(const QString& path) {
    CSampleExtractor::Bank bank;
    bank.image = m_image.data.get();
    bank.imageSize = m_image.size;
    bank.fileSize = m_nFileSize;
    bank.header = m_image.header;
    if (m_image.resources != nullptr) {
        bank.resources = {m_image.resources, static_cast<size_t>(m_image.resourceCount)};
    }
    bank.bank = m_image.bank;
    bank.folder = GetBankFolder();
    bank.bankPath = QFileInfo(path).absoluteFilePath();
    bank.loadData = [this] { return LoadSampleData(); };
    bank.nameOf = [this](int id) { return m_bNamesLoaded ? GetResourceName(id) : QString(); };
    // A message about one sample is shown as it arises, over the progress.
    const auto show = [](const CSampleExtractor::Message& message) {
        AfxMessageBox(message.text, MB_OK | (message.kind == CSampleExtractor::Message::Kind::Error
                                                 ? MB_ICONHAND
                                                 : MB_ICONEXCLAMATION));
    };
    // What opening changes (names for unnamed samples, storage) is a step
    // of the history like any edit, so the bank as it is on disk is one
    // Undo away.
    CBankEdit::State before = CBankEdit::Capture(EditTables());
    CSampleExtractor extractor(std::move(bank), Progress());
    extractor.SetMessageSink(show);
    CSampleExtractor::Report report = extractor.Extract();
    m_extraction = std::move(report.extraction);
    m_nUnwritten = report.unwritten;
    // The names opening gives are found again on every open, so they alone
    // leave the bank unmodified; a record opening had to correct does not.
    // Where the data went is a fact of this open, not an edit to take back.
    before.extraction = m_extraction;
    PushEdit(QCoreApplication::translate("CKantelDoc", "Changes Made When Opening"), before,
             report.modified);
    for (const CSampleExtractor::Message& message : report.messages) {
        show(message);
    }
}

// ---------------------------------------------------------------------------
// Saving

CBankWriter::Bank CKantelDoc::WriterBank() {
    CBankWriter::Bank bank;
    bank.image = m_image.data.get();
    bank.imageSize = m_image.size;
    bank.regionSize = HeaderRegionSize();
    bank.header = m_image.header;
    if (m_image.resources != nullptr) {
        bank.resources = {m_image.resources, static_cast<size_t>(m_image.resourceCount)};
    }
    bank.extraction = m_extraction;
    bank.folder = GetBankFolder();
    bank.staged = m_stagedWaves;
    bank.loadData = [this] { return LoadSampleData(); };
    return bank;
}

// Called once the new bank is written whole, just before it takes its
// place, so that only the renames lie between the waves' names and its own.
void CKantelDoc::NameStagedWaves() {
    if (!m_pStaged || m_stagedWaves.isEmpty()) {
        return;
    }
    CFileException error;
    const std::vector<int> failed = m_pStaged->Commit(error);
    for (auto it = m_stagedWaves.cbegin(); it != m_stagedWaves.cend(); ++it) {
        const int number = m_pStaged->FindAdded(it.key());
        if (std::find(failed.begin(), failed.end(), number) == failed.end()) {
            m_namedWithSave.append(it.key());
        }
    }
    if (!failed.empty()) {
        SettleStagedWaves(false);
        throw error;
    }
}

void CKantelDoc::SettleStagedWaves(bool saved) {
    if (saved) {
        m_pStaged.reset();
        m_stagedWaves.clear();
    }
    for (const QString& name : std::exchange(m_namedWithSave, {})) {
        if (!saved) {
            // Ours since the last moment: no record on disk names it.
            QFile::remove(GetBankFolder() + name);
            m_stagedWaves.remove(name);
        }
    }
}

bool CKantelDoc::StoreSample(CFile& file, int index) {
    if (!m_bLoaded) {
        return false;
    }
    CBankWriter writer(WriterBank(), Progress());
    CFileBankOutput output(file);
    const CResult<bool> stored = writer.StoreSample(output, index);
    return stored && stored.Value();
}

bool CKantelDoc::WriteBank(CFile& file) {
    if (!m_bLoaded) {
        return false;
    }
    CBankWriter writer(WriterBank(), Progress());
    CFileBankOutput output(file);
    // The framework reports what Serialize throws, in these words.
    if (const CResult<void> written = writer.Write(output); !written) {
        throw CFileException(CFileException::none, output.Path(), written.Error().text);
    }
    // Packing a large bank takes a while, and the lock binds only those
    // who take it.
    if (m_savingOver.IsValid() && CFileIdentity::OfPath(m_strDiskPath) != m_savingOver) {
        throw CFileException(CFileException::generic, m_strDiskPath,
                             QCoreApplication::translate(
                                 "CKantelDoc", "Another program changed the file while it was "
                                               "being saved; the bank is not saved."));
    }
    NameStagedWaves();
    m_unstored.append(writer.Unstored());
    m_shortWaves = writer.ShortWaves();
    m_reformatted = writer.ReformattedSamples();
    m_nFileSize = m_image.header->fileLength;
    return true;
}
