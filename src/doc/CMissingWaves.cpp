#include "CMissingWaves.h"

#include "format/CBnmFormat.h"

#include "framework/core/CFolderListing.h"

#include <QSet>

#include <optional>

CMissingWaves::Result CMissingWaves::Find(const QString& folder,
                                          std::span<const SoundResource> resources) {
    Result result;
    // Most banks have no external sample; their folder is not read at all.
    std::optional<CFolderListing> listing;
    QSet<QString> told;
    for (size_t i = 0; i < resources.size(); ++i) {
        const SoundResource& r = resources[i];
        // A sample of no bytes plays nothing wherever its file is.
        if (!r.IsSample() || r.storage != SoundResource::kStorageExternal || r.length <= 0) {
            continue;
        }
        const QString name = CBnmFormat::FileNameText(r);
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QStringLiteral(".") ||
            name == QStringLiteral("..")) {
            result.unnamed.append(static_cast<int>(i));
            continue;
        }
        if (!listing) {
            listing.emplace(folder);
        }
        const QString found = listing->Resolve(name);
        if (!found.isEmpty() && !listing->IsFolder(found) && listing->IsRegularFile(found)) {
            continue;
        }
        const QString path = folder + QLatin1Char('/') + (found.isEmpty() ? name : found);
        if (!told.contains(path.toCaseFolded())) {
            told.insert(path.toCaseFolded());
            result.files.append(path);
        }
    }
    return result;
}
