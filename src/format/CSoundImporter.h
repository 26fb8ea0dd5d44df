#pragma once

#include "CLoudnessMatch.h"
#include "CLoudnessMeter.h"
#include "CResult.h"
#include "CSoundConverter.h"
#include "SoundResource.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

class CFileBatch;
class CFolderListing;
class IProgressSink;

// Makes a sample the game can play out of any sound file: decoded, converted
// to the format of the record it is for (and, if asked, scaled to the
// loudness of the sound it replaces), and written into the bank's folder
// as a new wave file with the plain 44-byte header. No file that exists is
// ever replaced. Shows nothing; what went wrong comes back as the error.
class CSoundImporter {
public:
    using Format = CSoundConverter::Format;

    struct Request {
        QString source;
        QString folder; // the bank's folder, with a trailing "/"
        // The format the game used for the sound; where it is none a wave
        // file can hold, the source's channels and rate at 16 bits.
        Format target;
        // Keep the source's sample rate instead of the target's.
        bool keepRate = false;
        // Scale the new sound to the loudness of the one it replaces, as
        // CLoudnessMatch decides, before the final dither.
        bool matchLoudness = false;
        // How loud the sound being replaced is, or why that cannot be told
        // (the error, which then fails the import). Asked only when
        // matchLoudness is set.
        std::function<CResult<CLoudnessMeter::Reading>()> reference;
        // Whether a record of the bank holds this file name already (the
        // file need not exist yet); compared without regard to case.
        std::function<bool(const QString&)> isNameTaken;
    };

    struct Imported {
        QString fileName; // in the folder, at most 15 characters
        Format format;
        qint64 dataLength = 0; // bytes of sample data
        // From the source's loop, in bytes of the new data; without one the
        // caller decides.
        bool hasLoop = false;
        qint64 loopStart = 0;
        qint64 loopLength = 0;
        QString sourceDescription; // "FLAC / Signed 16 bit PCM"
        bool dithered = false;
        // With matchLoudness: the gain applied, and whether the peak limit
        // held it back; its Text() is for the user.
        std::optional<CLoudnessMatch> loudness;
        // For the user, when the source holds less than it claims: what was
        // imported is all there was.
        QString warning;
    };

    static CResult<Imported> Import(const Request& request, IProgressSink& progress);
    // Import without the final step: the new wave file is added to batch,
    // whose folder is the request's, and takes its name only when the
    // caller commits the batch (with whatever else must land with it).
    static CResult<Imported> Stage(const Request& request, IProgressSink& progress,
                                   CFileBatch& batch);

    // The gain Import would apply with matchLoudness, found by converting
    // the source without writing anything; for a preview.
    static CResult<CLoudnessMatch> MatchLoudness(const Request& request, IProgressSink& progress);

    // What Import makes before it writes anything: the new wave file's
    // header and data in memory. imported.fileName is left empty; whoever
    // writes the file chooses it.
    struct Prepared {
        Imported imported;
        QByteArray header;
        QByteArray data;
    };
    static CResult<Prepared> Prepare(const Request& request, IProgressSink& progress);

    // The record of a sample once its sound is imported: the new file, its
    // format, length and loop. A loop of the source becomes the record's;
    // without one a looped record loops the whole new sound, and an unlooped
    // one keeps its loop fields cut to the new length.
    static SoundResource RecordFor(const SoundResource& before, const Imported& imported);

    // What Import would do, in a sentence for the user to agree to first:
    // the source, what it is, and the format it would become. The error when
    // the source is no sound that can be imported.
    static CResult<QString> Describe(const Request& request);

    // Whether path is a wave file the game can take as it is: integer PCM
    // with the plain 44-byte header, its data right after it.
    static bool IsPlainWave(const QString& path);

    // A file name for the wave of source that no file in listing and no
    // record holds: the source's base name made safe and cut to fit, then
    // numbered.
    static QString ChooseName(const QString& source, const CFolderListing& listing,
                              const std::function<bool(const QString&)>& isNameTaken);

    // The format a wave file can hold that the request will write.
    static Format TargetFormat(const Format& record, const Format& source, bool keepRate);

    // The source's format and the one an import would give it, or why the
    // source cannot be read.
    struct Formats {
        Format source;
        Format target;
    };
    static CResult<Formats> FormatsOf(const Request& request);
    // A rate as the prompts give it: "22,050 Hz".
    static QString RateText(int samplesPerSec);

private:
    struct Converted;
    // Decodes and converts the source, as integers or (to be measured
    // first) as floats.
    static CResult<Converted> Convert(const Request& request, bool asFloats,
                                      IProgressSink& progress);
    // The gain that makes converted match the request's reference.
    static CResult<CLoudnessMatch> Match(const Request& request, const Converted& converted);
};
