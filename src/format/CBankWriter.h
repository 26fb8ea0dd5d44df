#pragma once

#include "BnmHeader.h"
#include "CResult.h"
#include "SampleExtraction.h"
#include "SoundResource.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <span>
#include <vector>

class CFile;
class IBankOutput;
class IProgressSink;

// Packs a bank: the header region as held in memory, then every banked
// sample's data from its wave file, with lengths, offsets and the file length
// made to describe what was written. Shows nothing: a failed write and a
// save it must refuse come back as the error, in the words the user is to
// read; samples it could not store and wave files shorter than they claim
// are left for the caller to tell.
class CBankWriter {
public:
    // The bank to be written. The header and the records are rewritten in
    // place; the image's sample data is the bank as it was opened.
    struct Bank {
        const quint8* image = nullptr;
        qint64 imageSize = 0;
        qint64 regionSize = 0;
        BnmHeader* header = nullptr;
        std::span<SoundResource> resources;
        std::span<const SampleExtraction> extraction;
        QString folder; // where the wave files are, with a trailing "/"
        // New wave files that take their names only once the bank is saved:
        // file name -> where the file is until then.
        QHash<QString, QString> staged;
        // Reads the image's sample data (past the header region) if it is not
        // there yet; empty when it is all there.
        std::function<CResult<void>()> loadData;
    };
    // A banked sample whose record took the format of its wave file.
    struct Reformatted {
        QString name;
        int channels = 0; // as the record had it
        int samplesPerSec = 0;
        int bitsPerSample = 0;
        int newChannels = 0; // as the wave file has it
        int newSamplesPerSec = 0;
        int newBitsPerSample = 0;
        // The record's old format gave no frame size or rate, so its loop
        // could not be carried to the same time and kept its bytes.
        bool loopKept = false;
    };
    // A wave file whose data chunk claims more than the file holds.
    struct ShortWave {
        QString name;
        qint64 available = 0;
        qint64 claimed = 0;
        qint64 fromBank = 0;
    };

    CBankWriter(Bank bank, IProgressSink& progress);

    // Writes the whole bank to output; the output ends where the last stored
    // sample ends. The error on a failed write or a refusal, when nothing
    // of what was written may be kept.
    CResult<void> Write(IBankOutput& output);
    // Appends the data of resource index from its wave file at the output's
    // position; true when all of it was read and written, the error when
    // the output failed.
    CResult<bool> StoreSample(IBankOutput& output, int index);

    // Samples that could not be stored and were made external, by file name.
    const QStringList& Unstored() const { return m_unstored; }
    const std::vector<ShortWave>& ShortWaves() const { return m_shortWaves; }
    const std::vector<Reformatted>& ReformattedSamples() const { return m_reformatted; }

    // Banked samples get consecutive offsets, the others 44; returns the
    // file length that follows, which the header also gets.
    static qint64 UpdateSampleOffsets(BnmHeader& header, std::span<SoundResource> resources);
    // The wave file of a sample: its file name in folder, or an existing file
    // whose name differs only in case.
    static QString SampleFilePath(const QString& folder, const SoundResource& resource);

private:
    // Why a wave file cannot give a sample its data.
    enum class WaveProblem : quint8 {
        None,
        Missing,
        NotRegular,
        Unreadable,
        NotWave,
        NoData,
        TooLarge,
        NotPcm,
        // PCM with no channels, no rate or no sample size: nothing the game
        // can play, packed or not.
        NoFormat,
    };
    // A wave file as saving finds it.
    struct WaveCheck {
        WaveProblem problem = WaveProblem::None;
        QString path;
        qint64 dataOffset = 0;
        qint64 available = 0; // bytes of the data chunk the file holds
        qint64 claimed = 0;   // bytes the data chunk's header claims
        int channels = 0;     // the format chunk's, when there is one
        int samplesPerSec = 0;
        int bitsPerSample = 0;
    };
    // A sample whose data the saved bank would lose, and why.
    struct LostSample {
        QString name;
        bool banked = false;
        QString why;
    };

    // What stops a save: samples whose data only the bank on disk holds,
    // and banked samples the game could not play.
    struct Refusal {
        std::vector<LostSample> lost;
        QStringList unplayable;
    };

    // Opens path and finds its data chunk; the problem when there is one.
    static WaveCheck CheckWave(CFile& wave, const QString& path);
    static QString ProblemText(const WaveCheck& check);
    // The steps of Write: the header region as held in memory, the bytes
    // the banked samples claim (for the progress), the external samples
    // whose data would be lost, each banked sample, the message of a
    // refusal, and the header region rewritten over what was packed.
    CResult<void> PutRegion(IBankOutput& output);
    qint64 BankedBytes() const;
    std::vector<LostSample> LostExternalSamples() const;
    CResult<bool> PackSample(IBankOutput& output, int index, Refusal& refusal);
    static QString RefusalText(const Refusal& refusal);
    CResult<void> Finish(IBankOutput& output);
    // Stores the sample from its checked wave file, or (false) leaves it
    // with the problem in check.
    CResult<bool> StoreChecked(IBankOutput& output, int index, WaveCheck& check);
    // Copies the wave's data chunk as check found it.
    static CResult<bool> CopyWaveData(IBankOutput& output, CFile& wave, WaveCheck& check);
    CResult<bool> StoreFromImage(IBankOutput& output, int index);
    CResult<void> LoadData() const;
    const SampleExtraction& Extraction(int index) const;
    // Where the data of a sample's wave file is read from.
    QString WavePath(const SoundResource& resource) const;

    Bank m_bank;
    IProgressSink& m_progress;
    QStringList m_unstored;
    std::vector<ShortWave> m_shortWaves;
    std::vector<Reformatted> m_reformatted;

    // The record of a stored sample made to describe its wave: the format
    // the file has, and a loop that lies inside the data.
    void Describe(int index, const WaveCheck& check, qint64 stored);
};
