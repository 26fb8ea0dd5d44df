#pragma once

#include "BnmHeader.h"
#include "CResult.h"
#include "SampleExtraction.h"
#include "SoundResource.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <span>
#include <vector>

class CFileBatch;
class CFileException;
class IProgressSink;

// Writes every banked sample that has no wave file yet into the bank's
// folder, choosing names for samples whose records name no usable file, and
// notes for each sample what became of its data. Shows nothing: what the user
// is to hear comes back as messages, in the order they arose.
class CSampleExtractor {
public:
    // The bank being opened. File names, and lengths the file cannot give,
    // are rewritten in the records.
    struct Bank {
        const quint8* image = nullptr;
        qint64 imageSize = 0;
        qint64 fileSize = 0; // the bank file's length when read
        const BnmHeader* header = nullptr;
        std::span<SoundResource> resources;
        int bank = -1;
        QString folder;   // with a trailing "/"
        QString bankPath; // the bank file itself, absolute
        // The names file's name for a resource id, or an empty string (no
        // entry, or no names file).
        std::function<QString(int)> nameOf;
        // Reads the image's sample data (past the header region) if it is not
        // there yet; empty when it is all there.
        std::function<CResult<void>()> loadData;
    };
    struct Message {
        enum class Kind { Warning, Error };
        Kind kind = Kind::Warning;
        QString text;
    };
    struct Report {
        std::vector<Message> messages;
        // Per resource, what became of its data.
        std::vector<SampleExtraction> extraction;
        // How many wave files had to be written and could not be.
        qsizetype unwritten = 0;
        // Whether a record was changed (a name given, a length cut).
        bool modified = false;
    };

    CSampleExtractor(Bank bank, IProgressSink& progress);

    // Where a message about one sample goes the moment it arises, while the
    // work is still under way (so a person sees it over the progress shown);
    // without one it joins the report.
    void SetMessageSink(std::function<void(const Message&)> sink) {
        m_messageSink = std::move(sink);
    }

    Report Extract();

    // The first candidate name for the sample at index that isFree accepts.
    // The names file's name comes first; then names from the id, the bank
    // number and the table position. The candidates come in a fixed order,
    // so opening the bank again, before it was saved, arrives at the same
    // name.
    QString ChooseSampleName(int index, const std::function<bool(const QString&)>& isFree) const;

private:
    class Pass;

    static bool IsWaveFile(const QString& path);
    // Makes the image's sample data readable; see Bank::loadData.
    CResult<void> LoadData() const;
    // The bank's data of resource index as the image holds it.
    QByteArrayView OpenedData(int index) const;
    // Whether the wave file at path holds exactly the bytes of data.
    static bool WaveHolds(const QString& path, QByteArrayView data);
    // Adds the wave file of resource index to batch: the number it got there,
    // or -1 with error telling why it could not be written.
    int WriteWaveFile(CFileBatch& batch, const QString& name, qint64 start, qint64 length,
                      int index, CFileException& error) const;

    void Note(Report& report, Message message) const;

    Bank m_bank;
    IProgressSink& m_progress;
    std::function<void(const Message&)> m_messageSink;
};
