#include "CLeftoverWaves.h"

#include "CBankReader.h"
#include "CBnmFormat.h"
#include "CNamesFileReader.h"
#include "CSampleExtractor.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/IProgressSink.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

bool endsWith(const QString& name, const char* extension) {
    return name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

bool usableName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

// The names one bank's records give, case-folded, into named; true when an
// unnamed banked sample would be given one of the names that run on without
// end (see CSampleExtractor::ChooseSampleName).
bool addNames(const CLeftoverWaves::Bank& bank, QSet<QString>& named) {
    std::vector<size_t> unnamed;
    for (size_t i = 0; i < bank.resources.size(); ++i) {
        const SoundResource& r = bank.resources[i];
        if (!r.IsSample()) {
            continue;
        }
        const QString name = CBnmFormat::FileNameText(r);
        if (usableName(name)) {
            named.insert(name.toCaseFolded());
        } else if (r.IsBankedSample()) {
            unnamed.push_back(i);
        }
    }
    if (unnamed.empty()) {
        return false;
    }
    // The extractor names a sample from the records it may rewrite; these
    // are a copy, and nothing is written.
    std::vector<SoundResource> copy(bank.resources.begin(), bank.resources.end());
    CSampleExtractor::Bank opened;
    opened.resources = copy;
    opened.bank = bank.bank;
    opened.nameOf = bank.nameOf;
    const CSampleExtractor extractor(opened, CSeam<IProgressSink>::Current());
    for (const size_t i : unnamed) {
        // Every name opening might choose, up to the one by table position
        // that always comes before the numbered ones.
        const QString last = QString::asprintf("Idx%X.wav", static_cast<unsigned>(i));
        extractor.ChooseSampleName(static_cast<int>(i), [&](const QString& candidate) {
            named.insert(candidate.toCaseFolded());
            return candidate == last;
        });
    }
    return true;
}

// Another bank of the folder as far as its names go, or nothing when it
// cannot be read.
std::optional<std::vector<SoundResource>> readTable(const QString& path, int* bankNumber) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        return std::nullopt;
    }
    try {
        BnmHeader header{};
        const qint64 length = file.GetLength();
        if (length <= static_cast<qint64>(sizeof header) ||
            file.Read(&header, sizeof header) != static_cast<qint64>(sizeof header)) {
            return std::nullopt;
        }
        const std::optional<CBankReader::TableCounts> counts =
            CBankReader::CountTables(header, length);
        if (!counts) {
            return std::nullopt;
        }
        std::vector<SoundResource> resources(static_cast<size_t>(counts->resources));
        const qint64 bytes = qint64{counts->resources} * qint64{sizeof(SoundResource)};
        file.Seek(header.resourceTableOffset, CFile::begin);
        if (bytes > 0 && file.Read(resources.data(), bytes) != bytes) {
            return std::nullopt;
        }
        *bankNumber = CBnmFormat::BankFromResourceTableOffset(header.resourceTableOffset);
        return resources;
    } catch (const CFileException&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<QStringList> CLeftoverWaves::Find(const QString& folder,
                                                const CFolderListing& listing, const Bank& bank) {
    QSet<QString> named;
    bool unnamed = addNames(bank, named);
    const QStringList entries = listing.NamesStartingWith(QString());
    for (const QString& entry : entries) {
        if (!endsWith(entry, ".bnm") || entry == bank.fileName) {
            continue;
        }
        const QString path = folder + QLatin1Char('/') + entry;
        if (listing.IsFolder(entry)) {
            continue;
        }
        int number = -1;
        const std::optional<std::vector<SoundResource>> resources =
            listing.IsRegularFile(entry) ? readTable(path, &number) : std::nullopt;
        if (!resources) {
            return std::nullopt;
        }
        NamesTable names;
        CResult<NamesTable> read =
            CNamesFileReader::ReadBeside(path, static_cast<int>(resources->size()));
        if (read) {
            names = std::move(read.Value());
        }
        const Bank other{*resources, number,
                         [&names](int id) {
                             const int at = names.firstOfId.Find(id);
                             return at >= 0 && names.names
                                        ? names.names[static_cast<size_t>(at)].name
                                        : QString();
                         },
                         entry};
        unnamed = addNames(other, named) || unnamed;
    }
    static const QRegularExpression numbered(QStringLiteral("^K[0-9A-F]{8}\\.wav$"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList leftovers;
    for (const QString& entry : entries) {
        if (!endsWith(entry, ".wav") || listing.IsFolder(entry) || !listing.IsRegularFile(entry) ||
            named.contains(entry.toCaseFolded()) || (unnamed && numbered.match(entry).hasMatch())) {
            continue;
        }
        leftovers.append(entry);
    }
    std::sort(leftovers.begin(), leftovers.end());
    return leftovers;
}
