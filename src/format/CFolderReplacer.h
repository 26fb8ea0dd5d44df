#pragma once

#include "CReplacePlan.h"
#include "CSoundImporter.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

class CFileBatch;
class CFolderListing;
class IProgressSink;

// Imports the matches of a replace plan as one transaction: each sound is
// converted as an import converts it and written under a temporary name of
// one file batch; only when every one of them is made do the files take
// their names, all at once. Whatever was made and not committed is removed
// with the replacer, so a failure or a cancel leaves the folder as it was.
// Shows nothing: failures come back as a list.
class CFolderReplacer {
public:
    struct Failure {
        QString file; // the sound file, or the wave file that could not be named
        QString message;
    };
    struct Converted {
        int index = -1;
        CSoundImporter::Imported imported; // fileName set once made
    };
    enum class Outcome { Done, Failed, Cancelled };

    // How loud the sample of a resource index is now, for matching.
    using Measure = std::function<CResult<CLoudnessMeter::Reading>(int index)>;

    // The new files go into bankFolder (with a trailing "/"); isNameTaken
    // tells the wave names the bank's records hold, which no new file takes;
    // measure reads the sound each match replaces, where the plan's options
    // ask to match its loudness; Convert calls it from worker threads, one
    // call at a time.
    CFolderReplacer(const QString& bankFolder, std::function<bool(const QString&)> isNameTaken,
                    Measure measure);
    ~CFolderReplacer();
    CFolderReplacer(const CFolderReplacer&) = delete;
    CFolderReplacer& operator=(const CFolderReplacer&) = delete;

    // Converts every one of matches (taken from plan, whose options hold)
    // in table order. Goes on past a failure so that every failure is
    // listed; stops at once when cancelled says so.
    Outcome Convert(const CReplacePlan& plan, std::span<const CReplacePlan::Match> matches,
                    IProgressSink& progress, const std::function<bool()>& cancelled = {});
    // Gives every converted file its name. False when any could not take
    // it: the failures are listed and no new file stays.
    bool Commit();
    // Removes the files Commit named, for when what was to name them (the
    // records, the save) did not happen.
    void RemoveCommitted();

    const std::vector<Failure>& Failures() const { return m_failures; }
    const std::vector<Converted>& Results() const { return m_converted; }

    // The request an import of match makes with plan's options.
    CSoundImporter::Request RequestFor(const CReplacePlan& plan,
                                       const CReplacePlan::Match& match) const;

private:
    bool IsNameTaken(const QString& name) const;
    // Names and writes one converted sound, or lists why it failed.
    void Keep(const CReplacePlan::Match& match, CResult<CSoundImporter::Prepared>& made,
              const CFolderListing& listing);

    QString m_strFolder;
    std::function<bool(const QString&)> m_isNameTaken;
    Measure m_measure;
    mutable std::mutex m_measuring;
    std::unique_ptr<CFileBatch> m_pBatch;
    std::vector<Converted> m_converted;
    std::vector<Failure> m_failures;
    QStringList m_committed;
};
