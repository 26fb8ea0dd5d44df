#pragma once

#include "CBankRecords.h"
#include "CResult.h"
#include "CSoundImporter.h"

#include <QString>
#include <QStringList>

#include <vector>

// Which sound file of a folder is to become which sample of a bank, told
// before anything is converted or written: every sound file directly in the
// folder is matched by its name without the extension, case ignored, with
// the names file's name of a sample or its wave file's name without ".wav".
// A file that fits two samples, or a sample that two files fit, is never
// guessed at; CD tracks are never matched. Reads the folder and the sound
// files' headers; writes nothing.
class CReplacePlan {
public:
    using Format = CSoundImporter::Format;

    struct Options {
        bool keepRate = false;
        // Scale each new sound to the loudness of the one it replaces.
        bool matchLoudness = false;
    };

    enum class Loop { None, FromFile, WholeSound };

    struct Match {
        int index = -1;
        QString name;     // the names file's, else the wave file's
        QString file;     // absolute path of the sound file
        QString fileName; // as it stands in the folder
        Format from;      // the file's; 0 bits for float or compressed data
        Format to;        // what the import writes
        Format record;    // the sample's as the bank has it
        Loop loop = Loop::None;
    };
    struct Ambiguous {
        QString fileName;
        std::vector<int> indexes; // every sample it fits, or the one it shares
    };
    // A file that cannot take part, with the reason in a sentence.
    struct Problem {
        QString file; // absolute path
        QString message;
    };

    // Matches the folder's files against records. When folder is the bank's
    // own (bankFolder), a sample's own wave file is no replacement for it and
    // is passed over. The error when the folder cannot be read: nothing is
    // planned then.
    static CResult<CReplacePlan> Make(const QString& folder, const CBankRecords& records,
                                      const Options& options,
                                      const QString& bankFolder = QString());

    // Why the bank of bankPath must not be saved as out: out is one of the
    // files the bank uses (a wave file a record names, its names file,
    // another bank of its folder) or one of the plan's sound files. Empty
    // when out may take the bank.
    QString OutputConflict(const QString& out, const QString& bankPath,
                           const CBankRecords& records) const;

    // Whether name (with its extension) is of a kind the matcher takes.
    static bool IsSoundFileName(const QString& name);
    // "44100 Hz stereo 16 bit"; the bits left out where the data has none.
    static QString FormatText(const Format& format);
    // "loop kept", "loop from file", "no loop".
    static QString LoopText(Loop loop);

    QString folder; // absolute, with a trailing "/"
    Options options;
    std::vector<Match> matches; // in table order
    std::vector<Ambiguous> ambiguous;
    QStringList unmatched; // names of files that fit no sample
    // Entries with a sound file's name that are no file to read (a FIFO, a
    // folder, a dangling link); skipped.
    std::vector<Problem> skipped;
    // Matched files whose sound cannot be read at all: the run fails on them.
    std::vector<Problem> failed;
    int samplesWithoutFile = 0;
};
