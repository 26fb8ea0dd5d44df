#include "CCliOptions.h"

#include <QCommandLineParser>

unsigned CCliOptions::SetOn(const QCommandLineParser& parser) const {
    return (parser.isSet(json) ? Json : 0U) | (parser.isSet(output) ? Output : 0U) |
           (parser.isSet(allExternal) ? AllExternal : 0U) |
           (parser.isSet(allBanked) ? AllBanked : 0U) | (parser.isSet(keepRate) ? KeepRate : 0U) |
           (parser.isSet(resource) ? Resource : 0U) | (parser.isSet(force) ? Force : 0U) |
           (parser.isSet(records) ? Records : 0U) | (parser.isSet(quiet) ? Quiet : 0U) |
           (parser.isSet(verbose) ? Verbose : 0U) | (parser.isSet(dryRun) ? DryRun : 0U) |
           (parser.isSet(matchLoudness) ? MatchLoudness : 0U);
}

QList<QCommandLineOption> CCliOptions::All() const {
    return {json,          records,  output, allExternal, allBanked, keepRate,
            matchLoudness, resource, force,  quiet,       verbose,   dryRun};
}
