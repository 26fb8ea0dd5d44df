#pragma once

#include "CBankEdit.h"
#include "format/BankImage.h"
#include "format/BnmHeader.h"
#include "format/BnmHeaderFigures.h"
#include "format/CBankChecker.h"
#include "format/CBankComparer.h"
#include "format/CBankRecords.h"
#include "format/CBankWriter.h"
#include "format/CFolderReplacer.h"
#include "format/CNamesFileReader.h"
#include "format/CReplacePlan.h"
#include "format/CSampleDataSource.h"
#include "format/CSoundExporter.h"
#include "format/CSoundImporter.h"
#include "format/NamesTable.h"
#include "format/ResourceName.h"
#include "format/SoundEvent.h"
#include "format/SoundResource.h"

#include "framework/core/CDocument.h"
#include "framework/core/CFileIdentity.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class CFile;
class CFileBatch;
class CFileLock;

// One open bank. Owns the whole file as one block of memory and gives views
// and dialogs the header and both tables in place, so an edit of a record is
// an edit of the block that saving writes back. Also owns the names read from
// the names file beside the bank, writes the banked samples out as wave files
// when the bank is opened, and packs them back when it is saved.
class CKantelDoc : public CDocument {
public:
    CKantelDoc();
    ~CKantelDoc() override;

    // Framework overrides.
    void Serialize(CArchive& archive) override;
    void DeleteContents() override;
    bool OnNewDocument() override;
    // Reads the bank, then its names file, then writes out missing wave files.
    bool OnOpenDocument(const QString& path) override;
    // The first two steps of opening alone: the bank and its names, with no
    // file written. For looking at a bank without touching its folder.
    bool LoadBankAndNames(const QString& path);
    // Saves, then refreshes every view whether or not the save worked. When it
    // failed, the records are as they were before the attempt.
    bool OnSaveDocument(const QString& path) override;
    void OnCloseDocument() override;
    // Asks whether to reload the bank when its file is no longer the one
    // opened or last saved; asks once for each new state of the file.
    void OnFileChangedOnDisk() override;
    // Reads the bank again from its file, dropping every edit and the
    // history; false (the user told why) when it can no longer be opened.
    bool Reload();
    // Whether the bank's file on disk is another than the one opened or
    // last saved (replaced, written by another program).
    bool ChangedOnDisk() const;

    // The folder of the bank with a trailing "/", where its wave files live.
    QString GetBankFolder() const;
    // Labels of a target reference (bank in the high, index in the low half).
    QString GetResourceLabel(quint32 target) const;
    QString GetEventLabel(quint32 target) const;
    // The first names-file entry with this id, or nullptr.
    const ResourceName* FindResourceName(int id) const;
    QString GetResourceName(int id) const;
    QString GetResourceDescription(int id) const;
    // The wave file of resource index: false unless a bank is loaded and the
    // record is a Sample. An existing file whose name differs only in case is
    // found.
    bool GetSampleFilePath(int index, QString& path) const;
    // Banked samples get consecutive offsets, the others 44; the file length
    // follows. Does not touch the modified flag.
    void UpdateSampleOffsets();
    // The header figures as the Header command shows them.
    BnmHeaderFigures GetHeaderFigures() const;
    // What is wrong with the bank as it is now, with the files of its folder
    // (see CBankChecker); nothing without a bank.
    std::vector<CBankChecker::Finding> CheckBank() const;
    // The Header command: shows the figures in the header dialog. The dialog
    // lives in a layer above this one, so the application installs the viewer
    // at start-up; without one the command does nothing.
    void OnViewHeader();

    // Storage commands: every Sample external, or every Sample banked.
    void OnEditAllExternal();
    void OnEditAllBanked();

    // What the user wants done with a file Export Sounds finds there
    // already: replace it (and with YesToAll every other one), keep it, or
    // export nothing at all.
    enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };
    // Asked with the path of each such file; the caller (a view, the command
    // line) asks the user.
    using ReplaceQuestion = std::function<ReplaceAnswer(const QString& path)>;
    // Export Sounds once the folder is chosen: writes the sample at index
    // (every sample for -1) into folder as wave files. Asks askReplace
    // before replacing each file that is there already (Cancel exports
    // nothing), then tells of every file that could not be written in one
    // message. True when every file the user wanted was written.
    bool ExportSounds(const QString& folder, int index, const ReplaceQuestion& askReplace);
    // The file name Export Sounds gives resource index; empty for a resource
    // that is no sample.
    QString GetExportFileName(int index) const;

    // This bank as it is now, for comparing with another: its wave files are
    // its samples' sounds, as the next save packs them. Valid until the bank
    // changes.
    CBankComparer::Bank ComparisonBank() const;

    // The records of the loaded bank, in table order (empty without a bank).
    std::span<const SoundResource> Resources() const;
    std::span<const SoundEvent> Events() const;
    // The records, the names and the texts shown for them, as one look at
    // this document; valid until the bank changes or closes.
    CBankRecords Records() const;
    // The header as read and as saving last rewrote it; nullptr without a bank.
    const BnmHeader* Header() const { return m_image.header; }
    // 0 to 3 from the resource table's offset, -1 for a bank no game loads.
    int GetBank() const { return m_image.bank; }
    // The bank's bytes as held in memory: the header region as edited, the
    // sample data as read. Empty without a bank.
    QByteArrayView GetImage() const;

    // One edit of one record, as it was and as it is to be. Every change of
    // a record made by a person comes through here or ReplaceResources, so
    // what changed and what it was are known in one place. The record is
    // written in place only while it still equals before (false otherwise);
    // the document is then modified, the change becomes one step of the
    // history, named label (by default "Properties of" the record), and
    // every view is rebuilt.
    bool ReplaceResource(int index, const SoundResource& before, const SoundResource& after,
                         const QString& label = QString());
    bool ReplaceEvent(int index, const SoundEvent& before, const SoundEvent& after,
                      const QString& label = QString());
    struct ResourceEdit {
        int index = -1;
        SoundResource before;
        SoundResource after;
        // The record now names another sound: what the bank held for the
        // old one must not complete the new one when saving.
        bool forgetOpenedData = false;
    };
    // Several resource edits as one step: applied together (none when one of
    // them is stale), then the views rebuilt once. The sample offsets and the
    // file length follow whenever a sample is involved, and also for an empty
    // list, which a storage command on a bank without samples gives.
    bool ReplaceResources(std::span<const ResourceEdit> edits, const QString& label);
    // How the Edit menu names an edit of resource or event index.
    QString ResourceEditLabel(int index) const;
    QString EventEditLabel(int index) const;

    // How an import is to treat its sound, as the user chose.
    struct ImportOptions {
        // At the source's own sample rate rather than the record's.
        bool keepRate = false;
        // As loud as the sound it replaces (see CLoudnessMatch).
        bool matchLoudness = false;
        // The new wave file takes its name only with the next save, in the
        // moment the bank takes its own, so that a save that fails or is cut
        // short leaves neither. Until then only saving reads it; for an
        // import that is saved at once.
        bool withNextSave = false;
    };
    // Makes the sound file source the sample of resource index: converted
    // to the record's format (with keepRate, at the source's own rate) and
    // written into the bank's folder as a new wave file, which the record
    // then names, with its format, length and loop, as one edit. A loop of
    // the source becomes the record's; without one a looped record loops the
    // whole new sound. False, after telling the user why, when it could not.
    // When the peak limit held a loudness match back, says so. What the
    // import made, with the gain it applied, goes to *pImported if given.
    bool ImportSound(int index, const QString& source, const ImportOptions& options,
                     CSoundImporter::Imported* pImported = nullptr);
    // Whether a sample record names this wave file (its case aside): a new
    // file must not take such a name, even while the file does not exist.
    bool IsWaveNameTaken(const QString& name) const;
    // The import request for resource index's record, for whoever shows
    // the user what will happen first. Its reference measures the sound the
    // record names when the import runs, so it must not outlive this bank.
    CSoundImporter::Request ImportRequest(int index, const QString& source,
                                          const ImportOptions& options) const;
    // How loud the sample of resource index is, measured where its data
    // lives: a banked sample's in the bank as opened, any other's (and one
    // the bank holds no data for) in its wave file, in the file's format.
    // The error names the file or the resource.
    CResult<CLoudnessMeter::Reading> MeasureSample(int index) const;
    // Replace from Folder once the user has agreed to matches (a part of
    // plan's): every file converted and made a new wave file, then all the
    // records changed as one edit, "Replace %n Sounds". False when nothing
    // was changed: after telling the user every failure in one message (no
    // new file stays), or when cancelled said so (nothing is said).
    bool ReplaceFromFolder(const CReplacePlan& plan, std::span<const CReplacePlan::Match> matches,
                           const std::function<bool()>& cancelled = {});
    // The records of what replacer made, as one edit; false when a record
    // is no longer the sample it was planned for.
    bool ApplyReplaced(const CFolderReplacer& replacer);
    // After the record of a banked sample took another wave file: the data
    // the bank held for it belongs to the old sound, and a save must never
    // complete the new file from it.
    void ForgetOpenedData(int index);

    // Reads the whole bank from file; false (after telling the user where there
    // is something to tell) when it is not a bank this editor can hold.
    bool ReadBank(CFile& file);
    // Parses an open names file; false when the bank has no resources. Reads
    // through a bounded buffer whatever the file's size.
    bool ReadNames(CFile& file);
    // Writes every banked sample that has no wave file yet; path is the bank's.
    void ExtractSamples(const QString& path);
    // How many wave files the last ExtractSamples had to write and could not.
    qsizetype GetUnwrittenCount() const { return m_nUnwritten; }
    // Writes the header region and appends the banked samples. False when no
    // bank is loaded. File errors throw CFileException.
    bool WriteBank(CFile& file);
    // Appends the data of resource index from its wave file at the file's
    // position; true when all of it was read and written.
    bool StoreSample(CFile& file, int index);

    // Data model, in the order of the format's description.
    QString m_strFolder;
    bool m_bLoaded = false;
    bool m_bNamesLoaded = false;
    NamesTable::Names m_pNames;
    // The length the records describe: it follows every save and change of
    // storage, while the image keeps the file as it was read.
    qint64 m_nFileSize = -1;

    // Limits of the names file (see CNamesFileReader).
    static constexpr int kMaxNamesLine = CNamesFileReader::kMaxNamesLine;
    static constexpr int kMaxName = CNamesFileReader::kMaxName;
    static constexpr int kMaxDescription = CNamesFileReader::kMaxDescription;
    static constexpr qint64 kMaxNamesFile = CNamesFileReader::kMaxNamesFile;

private:
    // The bank file as opened, absolute; the path name once one is set.
    QString m_strOpened;
    // The file the bank was last read from or saved to, and its identity
    // then: a save over it first checks that nobody replaced it since.
    QString m_strDiskPath;
    CFileIdentity m_diskIdentity;
    // While a save writes over m_strDiskPath: the identity it found there,
    // which must still be there when the new file takes its place.
    CFileIdentity m_savingOver;
    bool m_bSaving = false;
    // Wave files imports of this session wrote into the bank's folder. One
    // that no record names any more once the bank is saved went with an
    // undone import, and goes to the trash.
    QStringList m_importedWaves;
    void TrashUndoneImports(const QString& savedPath);
    // Those of them in the trash now: name -> where the trash keeps it. An
    // Undo or Redo that names one again brings it back.
    QHash<QString, QString> m_trashedWaves;
    void RestoreTrashedWaves();
    // The state of the file the user was last told of, so that one change
    // is told once.
    CFileIdentity m_toldIdentity;
    // Whether path names the file the bank was read from or saved to.
    bool IsDiskFile(const QString& path) const;
    // False after telling the user, when the file at path is not the one
    // this bank came from and the user does not want it replaced.
    bool MaySaveOver(const QString& path);
    // The checks before a save, each true or false after telling the user:
    // whether path is one of the files the bank needs, and whether the
    // bank's lock could be had.
    bool IsSaveObstacle(const QString& path) const;
    static bool LockForSave(const QString& path, CFileLock& lock);
    // What a save tells once the bank is written.
    static void TellReformatted(const std::vector<CBankWriter::Reformatted>& reformatted);
    static void TellShortWaves(const std::vector<CBankWriter::ShortWave>& shortWaves);
    // After a save: where each sample's data now is, as far as a later save
    // must know.
    void NoteWhatTheSavedBankHolds();
    QString BankPath() const;
    // The new wave files of imports made withNextSave: the batch that holds
    // them, and file name -> where each is until the save names it.
    std::unique_ptr<CFileBatch> m_pStaged;
    QHash<QString, QString> m_stagedWaves;
    // Those the save under way named before the bank took its place: they
    // go again when the bank does not take it.
    QStringList m_namedWithSave;
    CResult<CSoundImporter::Imported> StageImport(const CSoundImporter::Request& request);
    // Gives the staged wave files their names; throws CFileException, with
    // none of them named, when one cannot have its name.
    void NameStagedWaves();
    // After a save: the staged waves are the bank's now, or (when it failed)
    // those already named go again.
    void SettleStagedWaves(bool saved);
    // Samples the save under way could not store, named as in the message.
    QStringList m_unstored;
    qsizetype m_nUnwritten = 0;
    // Names file: id -> position of the first entry with that id.
    CNameIdIndex m_nameIndex;

    // Wave files the save under way found shorter than their data chunks.
    std::vector<CBankWriter::ShortWave> m_shortWaves;
    // Banked samples whose records the save under way gave their waves' format.
    std::vector<CBankWriter::Reformatted> m_reformatted;

    qint64 HeaderRegionSize() const;
    // The loaded bank's editable parts, for the history's steps.
    CBankEdit::Tables EditTables();
    // Makes what changed since before one step of the history (nothing when
    // nothing changed) and marks the document modified; without bModified
    // an unmodified document stays so, its clean point after the step.
    void PushEdit(const QString& label, const CBankEdit::State& before, bool bModified = true);
    // Keeps what a names file gave.
    void TakeNames(NamesTable& names);
    // The bank as the writer is to pack it.
    CBankWriter::Bank WriterBank();
    // Opening tells once of the external samples whose wave files are not
    // there, as the game would play silence for them.
    void TellMissingWaves() const;
    // Marks the targets that are there already and are to be replaced, as
    // askReplace answers; false when the user cancelled.
    static bool ChooseReplacements(std::vector<CSoundExporter::Target>& targets,
                                   const QString& folder, const ReplaceQuestion& askReplace);
    // Tells where the files went, or in one message which could not be
    // written; true when none failed.
    static bool TellExported(const CSoundExporter::Report& report, qsizetype targets,
                             const QString& folder);
    // The bank as Export Sounds reads it; valid until the bank changes.
    CSoundExporter::Bank ExporterBank() const;
    // Where opening found the data of resource index in the image, not where
    // its record says now; empty when the bank held none for it.
    QByteArrayView OpenedData(int index) const;
    // Reads the bank's sample data into the image unless it is there
    // already. Opening reads only the header region; whatever reads sample
    // data from the image calls this first and gives up on failure.
    CResult<void> LoadSampleData() const;
    // The same, telling the user (once) why it failed.
    bool SampleDataAtHand() const;

    // Per resource: how opening handled its data, and where that data lay in
    // the image, so a save can tell data only the bank holds from data that
    // never was in it.
    std::vector<SampleExtraction> m_extraction;
    // The bank as ReadBank read it: the whole file in one block, where the
    // header and the tables lie in it (edited in place), and the header
    // region's size, which header words never change.
    BankImage m_image;
    // The bank file kept open until its sample data is read; reading it
    // fills the image (whose memory is not const in a const member).
    std::unique_ptr<CSampleDataSource> m_pSampleData;
    mutable bool m_bToldSampleData = false;
};
