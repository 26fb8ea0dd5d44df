#pragma once

#include "BnmHeader.h"
#include "BnmHeaderFigures.h"
#include "ResourceName.h"
#include "SoundEvent.h"
#include "SoundResource.h"

#include "framework/core/CDocument.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CFile;
class CFileBatch;
class CFileException;

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
    // The Header command: shows the figures in the header dialog. The dialog
    // lives in a layer above this one, so the application installs the viewer
    // at start-up; without one the command does nothing.
    void OnViewHeader();

    // Storage commands: every Sample external, or every Sample banked.
    void OnEditAllExternal();
    void OnEditAllBanked();

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
    // Frees the image that ReadBank allocated.
    struct ImageDeleter {
        void operator()(quint8* image) const;
    };
    std::unique_ptr<quint8[], ImageDeleter> m_pData;
    bool m_bNamesLoaded = false;
    std::unique_ptr<ResourceName[]> m_pNames;
    qint64 m_nFileSize = -1;
    int m_nBank = -1;
    BnmHeader* m_pHeader = nullptr;
    int m_nResources = 0;
    SoundResource* m_pResources = nullptr;
    int m_nEvents = 0;
    SoundEvent* m_pEvents = nullptr;

    // Limits of the names file. Longer lines, names and descriptions are cut
    // to these lengths; what is cut off is dropped, never carried over.
    static constexpr int kMaxNamesLine = 1023;
    static constexpr int kMaxName = 31;
    static constexpr int kMaxDescription = 255;
    // A names file of this size is none: a real one of 65,535 entries is a
    // few megabytes. A larger one is ignored with a warning.
    static constexpr qint64 kMaxNamesFile = qint64{64} << 20;

private:
    // What became of a banked sample's data when the bank was opened.
    enum class Extraction : quint8 {
        None,    // not a banked sample when the bank was read
        Written, // its wave file exists (found or written)
        Failed,  // the wave file could not be written; the data is only here
    };

    // Samples the save under way could not store, named as in the message.
    QStringList m_unstored;
    qsizetype m_nUnwritten = 0;
    // The header region's size as read; header words never change it.
    qint64 m_nRegionSize = 0;
    // Names file: id -> position of the first entry with that id.
    QHash<int, int> m_nameIndex;

    // Why a wave file cannot give a sample its data.
    enum class WaveProblem : quint8 {
        None,
        Missing,
        NotRegular,
        Unreadable,
        NotWave,
        NoData,
        TooLarge,
    };
    // A wave file as saving finds it.
    struct WaveCheck {
        WaveProblem problem = WaveProblem::None;
        QString path;
        qint64 dataOffset = 0;
        qint64 available = 0; // bytes of the data chunk the file holds
        qint64 claimed = 0;   // bytes the data chunk's header claims
    };
    // A sample whose data the saved bank would lose, and why.
    struct LostSample {
        QString name;
        bool banked = false;
        QString why;
    };
    // A wave file whose data chunk claims more than the file holds.
    struct ShortWave {
        QString name;
        qint64 available = 0;
        qint64 claimed = 0;
        qint64 fromBank = 0;
    };

    // Wave files the save under way found shorter than their data chunks.
    std::vector<ShortWave> m_shortWaves;

    qint64 HeaderRegionSize() const;
    // The first candidate name for the sample at index that isFree accepts.
    QString ChooseSampleName(int index, const std::function<bool(const QString&)>& isFree) const;
    static bool IsWaveFile(const QString& path);
    // The bank's data of resource index as the image holds it when opened.
    QByteArrayView OpenedData(int index) const;
    // Whether the wave file at path holds exactly the bytes of data.
    static bool WaveHolds(const QString& path, QByteArrayView data);
    // Opens path and finds its data chunk; the problem when there is one.
    static WaveCheck CheckWave(CFile& wave, const QString& path);
    static QString ProblemText(const WaveCheck& check);
    bool StoreChecked(CFile& file, int index, WaveCheck& check);
    // Adds the wave file of resource index to batch: the number it got there,
    // or -1 with error telling why it could not be written.
    int WriteWaveFile(CFileBatch& batch, const QString& name, qint64 start, qint64 length,
                      int index, CFileException& error);
    bool StoreFromImage(CFile& file, int index);

    // Per resource: how opening handled its data, and where that data lay in
    // the image, so a save can tell data only the bank holds from data that
    // never was in it.
    std::vector<Extraction> m_extraction;
    // Bytes allocated for m_pData; m_nFileSize moves on, the image does not.
    qint64 m_nImageSize = 0;
    std::vector<std::pair<qint64, qint64>> m_openedRange;
};
