#include "CReplacePlan.h"

#include "CBnmFormat.h"
#include "CSoundSource.h"
#include "SoundResource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// The texts are gathered from QT_TRANSLATE_NOOP; this looks them up.
QString lookUp(const char* text) {
    return QCoreApplication::translate("CReplacePlan", text);
}

struct Entry {
    QString name;
    enum class Kind { File, Folder, Dangling, Special } kind = Kind::File;
};

// The folder's entries in name order; the error text when it cannot be read.
CResult<std::vector<Entry>> listFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (dir == nullptr) {
        const int saved = errno;
        return FormatError{FormatError::Kind::Unreadable,
                           lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "%1 cannot be read: %2"))
                               .arg(QFileInfo(folder).absoluteFilePath(),
                                    QString::fromLocal8Bit(std::strerror(saved)))};
    }
    std::vector<Entry> entries;
    const int fd = ::dirfd(dir);
    errno = 0;
    while (const dirent* d = ::readdir(dir)) {
        const QString name = QFile::decodeName(d->d_name);
        // Hidden entries are a batch's temporaries or a desktop's notes.
        if (name.startsWith(QLatin1Char('.'))) {
            continue;
        }
        Entry entry{name};
        struct stat st {};
        if (::fstatat(fd, d->d_name, &st, 0) != 0) {
            entry.kind = Entry::Kind::Dangling;
        } else if (S_ISDIR(st.st_mode)) {
            entry.kind = Entry::Kind::Folder;
        } else if (!S_ISREG(st.st_mode)) {
            entry.kind = Entry::Kind::Special;
        }
        entries.push_back(entry);
        errno = 0;
    }
    const int saved = errno;
    ::closedir(dir);
    if (saved != 0) {
        return FormatError{FormatError::Kind::Unreadable,
                           lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "%1 cannot be read: %2"))
                               .arg(QFileInfo(folder).absoluteFilePath(),
                                    QString::fromLocal8Bit(std::strerror(saved)))};
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

QString baseKey(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot > 0 ? fileName.left(dot) : fileName).toCaseFolded();
}

} // namespace

bool CReplacePlan::IsSoundFileName(const QString& name) {
    static const QStringList kExtensions = {QStringLiteral(".wav"),  QStringLiteral(".aif"),
                                            QStringLiteral(".aiff"), QStringLiteral(".flac"),
                                            QStringLiteral(".ogg"),  QStringLiteral(".oga"),
                                            QStringLiteral(".opus"), QStringLiteral(".mp3")};
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](const QString& extension) {
        return name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive);
    });
}

QString CReplacePlan::FormatText(const Format& f) {
    const QString channels = f.channels == 1   ? QStringLiteral("mono")
                             : f.channels == 2 ? QStringLiteral("stereo")
                                               : QStringLiteral("%1 channels").arg(f.channels);
    QString text = QStringLiteral("%1 Hz %2").arg(f.samplesPerSec).arg(channels);
    if (f.bitsPerSample > 0) {
        text += QStringLiteral(" %1 bit").arg(f.bitsPerSample);
    }
    return text;
}

QString CReplacePlan::LoopText(Loop loop) {
    switch (loop) {
    case Loop::FromFile:
        return lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "loop from file"));
    case Loop::WholeSound:
        return lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "loop kept"));
    case Loop::None:
        break;
    }
    return lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "no loop"));
}

namespace {

// Case-folded key -> the samples it names, from the names file's name of
// each sample and its wave file's name without ".wav". A sample whose two
// names give the same key is listed once. samples is set to how many
// samples the table holds.
QHash<QString, std::vector<int>> samplesByKey(const CBankRecords& records, int& samples) {
    const std::span<const SoundResource> resources = records.Resources();
    QHash<QString, std::vector<int>> samplesOf;
    const auto addKey = [&](const QString& key, int index) {
        if (key.isEmpty()) {
            return;
        }
        std::vector<int>& list = samplesOf[key.toCaseFolded()];
        if (std::find(list.begin(), list.end(), index) == list.end()) {
            list.push_back(index);
        }
    };
    samples = 0;
    for (int i = 0; i < static_cast<int>(resources.size()); ++i) {
        const SoundResource& r = resources[static_cast<size_t>(i)];
        if (!r.IsSample()) {
            continue;
        }
        ++samples;
        addKey(records.GetResourceName(static_cast<int>(r.resourceId & 0xFFFFU)), i);
        const QString wave = CBnmFormat::FileNameText(r);
        if (wave.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive) && wave.size() > 4) {
            addKey(wave.left(wave.size() - 4), i);
        }
    }
    return samplesOf;
}

// Why an entry with a sound file's name is no file to read.
QString skipReason(Entry::Kind kind, const QString& path) {
    const char* why = kind == Entry::Kind::Folder
                          ? QT_TRANSLATE_NOOP("CReplacePlan", "%1 is a folder; skipped")
                      : kind == Entry::Kind::Dangling
                          ? QT_TRANSLATE_NOOP("CReplacePlan", "%1 is a link to nothing; skipped")
                          : QT_TRANSLATE_NOOP("CReplacePlan", "%1 is not a regular file; skipped");
    return lookUp(why).arg(path);
}

// The samples the ambiguous files fit or that files were found for: they
// were matched, only some not surely.
int samplesTouched(const std::map<int, QStringList>& filesOf,
                   const std::vector<CReplacePlan::Ambiguous>& ambiguous) {
    QSet<int> touched;
    for (const auto& entry : filesOf) {
        touched.insert(entry.first);
    }
    for (const CReplacePlan::Ambiguous& a : ambiguous) {
        for (int index : a.indexes) {
            touched.insert(index);
        }
    }
    return static_cast<int>(touched.size());
}

// Sorts the folder's entries into the plan: skipped, unmatched or
// ambiguous there, or returned as sample index -> the files that fit it
// alone. A sample's own wave file in the bank's folder is passed over.
std::map<int, QStringList> sortEntries(CReplacePlan& plan, const std::vector<Entry>& entries,
                                       const QString& folder, const CBankRecords& records,
                                       const QString& bankFolder, int& samples) {
    const QHash<QString, std::vector<int>> samplesOf = samplesByKey(records, samples);
    const std::span<const SoundResource> resources = records.Resources();
    const bool ownFolder = !bankFolder.isEmpty() && QFileInfo(folder).canonicalFilePath() ==
                                                        QFileInfo(bankFolder).canonicalFilePath();
    const auto isOwnWave = [&](const QString& fileName, int index) {
        return ownFolder && CBnmFormat::FileNameText(resources[static_cast<size_t>(index)])
                                    .compare(fileName, Qt::CaseInsensitive) == 0;
    };
    // Sample index -> the files that fit it alone.
    std::map<int, QStringList> filesOf;
    for (const Entry& entry : entries) {
        if (!CReplacePlan::IsSoundFileName(entry.name)) {
            continue;
        }
        if (entry.kind != Entry::Kind::File) {
            const QString path = plan.folder + entry.name;
            plan.skipped.push_back({path, skipReason(entry.kind, path)});
            continue;
        }
        const auto found = samplesOf.constFind(baseKey(entry.name));
        if (found == samplesOf.constEnd()) {
            plan.unmatched.append(entry.name);
        } else if (found->size() == 1 && isOwnWave(entry.name, found->front())) {
            continue;
        } else if (found->size() > 1) {
            plan.ambiguous.push_back({entry.name, *found});
        } else {
            filesOf[found->front()].append(entry.name);
        }
    }
    return filesOf;
}

// Matches fileName of the plan's folder with the sample at index, or tells
// why its sound cannot be read.
void addMatch(CReplacePlan& plan, const CBankRecords& records, int index, const QString& fileName) {
    using Loop = CReplacePlan::Loop;
    const SoundResource& r = records.Resources()[static_cast<size_t>(index)];
    CReplacePlan::Match match;
    match.index = index;
    match.name = records.GetResourceName(static_cast<int>(r.resourceId & 0xFFFFU));
    if (match.name.isEmpty()) {
        match.name = CBnmFormat::FileNameText(r);
    }
    match.fileName = fileName;
    match.file = plan.folder + match.fileName;
    CResult<CSoundSource> source = CSoundSource::Open(match.file);
    if (!source) {
        plan.failed.push_back({match.file, source.Error().text});
        return;
    }
    const CSoundSource::Info& info = source.Value().GetInfo();
    if (info.frames <= 0) {
        plan.failed.push_back(
            {match.file,
             lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "%1 holds no sound.")).arg(match.file)});
        return;
    }
    match.from = {info.channels, info.samplesPerSec, info.bitsPerSample};
    match.record = {r.channels, r.samplesPerSec, r.bitsPerSample};
    match.to = CSoundImporter::TargetFormat(match.record, match.from, plan.options.keepRate);
    match.loop = source.Value().GetLoop() ? Loop::FromFile
                 : r.looped != 0          ? Loop::WholeSound
                                          : Loop::None;
    plan.matches.push_back(match);
}

} // namespace

CResult<CReplacePlan> CReplacePlan::Make(const QString& folder, const CBankRecords& records,
                                         const Options& options, const QString& bankFolder) {
    CResult<std::vector<Entry>> listed = listFolder(folder);
    if (!listed) {
        return listed.Error();
    }
    CReplacePlan plan;
    plan.folder = QFileInfo(folder).absoluteFilePath();
    if (!plan.folder.endsWith(QLatin1Char('/'))) {
        plan.folder += QLatin1Char('/');
    }
    plan.options = options;
    int samples = 0;
    const std::map<int, QStringList> filesOf =
        sortEntries(plan, listed.Value(), folder, records, bankFolder, samples);
    for (const auto& [index, files] : filesOf) {
        if (files.size() > 1) {
            for (const QString& file : files) {
                plan.ambiguous.push_back({file, {index}});
            }
            continue;
        }
        addMatch(plan, records, index, files.front());
    }
    std::sort(plan.ambiguous.begin(), plan.ambiguous.end(),
              [](const Ambiguous& a, const Ambiguous& b) { return a.fileName < b.fileName; });
    plan.samplesWithoutFile = samples - samplesTouched(filesOf, plan.ambiguous);
    return plan;
}

QString CReplacePlan::OutputConflict(const QString& out, const QString& bankPath,
                                     const CBankRecords& records) const {
    const QFileInfo target(out);
    const QFileInfo bank(bankPath);
    const QString targetFolder = QFileInfo(target.absolutePath()).canonicalFilePath();
    const QString name = target.fileName();
    const auto same = [&](const QString& other) {
        return name.compare(other, Qt::CaseInsensitive) == 0;
    };
    if (!targetFolder.isEmpty() &&
        targetFolder == QFileInfo(bank.absolutePath()).canonicalFilePath()) {
        if (same(bank.fileName())) {
            return QString();
        }
        for (const SoundResource& r : records.Resources()) {
            if (r.IsSample() && same(CBnmFormat::FileNameText(r))) {
                return lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "%1 is a wave file the bank uses"))
                    .arg(target.absoluteFilePath());
            }
        }
        if (same(bank.completeBaseName() + QStringLiteral(".bns"))) {
            return lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "%1 is the bank's names file"))
                .arg(target.absoluteFilePath());
        }
        if (name.endsWith(QStringLiteral(".bnm"), Qt::CaseInsensitive) && target.exists()) {
            return lookUp(
                       QT_TRANSLATE_NOOP("CReplacePlan", "%1 is another bank of the bank's folder"))
                .arg(target.absoluteFilePath());
        }
    }
    if (!targetFolder.isEmpty() &&
        targetFolder == QFileInfo(QFileInfo(folder).absoluteFilePath()).canonicalFilePath()) {
        for (const Match& match : matches) {
            if (same(match.fileName)) {
                return lookUp(QT_TRANSLATE_NOOP("CReplacePlan", "%1 is one of the sound files"))
                    .arg(target.absoluteFilePath());
            }
        }
    }
    return QString();
}
