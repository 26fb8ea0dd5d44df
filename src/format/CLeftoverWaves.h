#pragma once

#include "SoundResource.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>

class CFolderListing;

// Finds the wave files of a bank's folder that no record of the folder's
// banks names: imports leave the old sound behind, and nothing in Kantel
// ever deletes a file. A name that opening a bank would give one of its
// unnamed samples counts as named, as the file is found again then. Reads
// the other banks' headers, resource tables and (for unnamed samples) names
// files, and nothing else. Shows nothing.
class CLeftoverWaves {
public:
    // The bank being checked, as its records are now.
    struct Bank {
        std::span<const SoundResource> resources;
        int bank = -1;
        // The names file's name for a resource id, or an empty string.
        std::function<QString(int id)> nameOf;
        QString fileName; // the bank's own, in the folder
    };

    // The leftover wave files of folder (as listing read it), in name order.
    // Nothing when one of the folder's other banks cannot be read: what it
    // names is not known, and a file it plays must never be called a
    // leftover.
    static std::optional<QStringList> Find(const QString& folder, const CFolderListing& listing,
                                           const Bank& bank);
};
