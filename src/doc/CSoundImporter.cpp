#include "CSoundImporter.h"

#include "CSoundSource.h"
#include "CWaveFile.h"
#include "CWaveReader.h"
#include "SoundResource.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/IProgressSink.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr qint64 kBlockFrames = 16384;
constexpr int kExtension = 4; // ".wav"
// The lowest rate a wave file of ours may have (see isWaveFormat).
constexpr int kMinSourceRate = 1000;
// Beyond any length a sound file gives honestly: 2^40 frames are 289 days
// at 44.1 kHz.
constexpr qint64 kUnknownLength = qint64{1} << 40;

bool isWaveFormat(const CSoundImporter::Format& f) {
    return f.channels >= 1 && f.channels <= 8 && f.samplesPerSec >= 1000 &&
           f.samplesPerSec <= 384000 &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 24 ||
            f.bitsPerSample == 32);
}

FormatError importError(const QString& source, const QString& why) {
    return {FormatError::Kind::Unreadable,
            QCoreApplication::translate("CSoundImporter", "%1 cannot be imported: %2")
                .arg(QFileInfo(source).absoluteFilePath(), why)};
}

} // namespace

CSoundImporter::Format CSoundImporter::TargetFormat(const Format& record, const Format& source,
                                                    bool keepRate) {
    Format target =
        isWaveFormat(record) ? record : Format{source.channels, source.samplesPerSec, 16};
    if (keepRate || target.samplesPerSec < 1000 || target.samplesPerSec > 384000) {
        target.samplesPerSec = source.samplesPerSec;
    }
    if (target.channels > 8) {
        target.channels = 2;
    }
    return target;
}

QString CSoundImporter::ChooseName(const QString& source, const CFolderListing& listing,
                                   const std::function<bool(const QString&)>& isNameTaken) {
    QString base = QFileInfo(source).completeBaseName();
    for (QChar& c : base) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('_') || c == QLatin1Char('-');
        if (!plain) {
            c = QLatin1Char('_');
        }
    }
    // A hidden name would be taken for one of our temporary files.
    if (base.isEmpty() || base.startsWith(QLatin1Char('.'))) {
        base = QStringLiteral("Sound");
    }
    const int room = SoundResource::kMaxFileName - kExtension;
    const auto isFree = [&](const QString& name) {
        return listing.Resolve(name).isEmpty() && !(isNameTaken && isNameTaken(name));
    };
    QString name = base.left(room) + QStringLiteral(".wav");
    for (int k = 1; !isFree(name); ++k) {
        const QString suffix = QStringLiteral("_%1").arg(k);
        name = base.left(room - static_cast<int>(suffix.size())) + suffix + QStringLiteral(".wav");
    }
    return name;
}

namespace {

QString formatText(const CSoundImporter::Format& f) {
    QString text =
        QStringLiteral("%1 Hz, %2")
            .arg(f.samplesPerSec)
            .arg(f.channels == 1
                     ? QStringLiteral("mono")
                     : (f.channels == 2 ? QStringLiteral("stereo")
                                        : QStringLiteral("%1 channels").arg(f.channels)));
    // Float and compressed data have no bits to speak of.
    return f.bitsPerSample > 0
               ? text +
                     QCoreApplication::translate("CSoundImporter", ", %1 bits").arg(f.bitsPerSample)
               : text;
}

} // namespace

CResult<QString> CSoundImporter::Describe(const Request& request) {
    CResult<CSoundSource> opened = CSoundSource::Open(request.source);
    if (!opened) {
        return opened.Error();
    }
    const CSoundSource::Info& info = opened.Value().GetInfo();
    const Format from{info.channels, info.samplesPerSec, info.bitsPerSample};
    const Format to = TargetFormat(request.target, from, request.keepRate);
    return QCoreApplication::translate(
               "CSoundImporter",
               "%1 (%2, %3) will be converted to %4 and saved in the bank's folder as "
               "a new wave file, which the sample then uses.")
        .arg(QFileInfo(request.source).fileName(), info.description, formatText(from),
             formatText(to));
}

bool CSoundImporter::IsPlainWave(const QString& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        return false;
    }
    try {
        const CWaveReader::Info info = CWaveReader::Read(file, CWaveReader::Stop::AtData);
        return info.wave && info.hasFormat && info.hasData &&
               info.format.formatTag == CWaveReader::kFormatPcm &&
               info.dataOffset == CWaveFile::kHeaderSize;
    } catch (const CFileException&) {
        return false;
    }
}

CResult<CSoundImporter::Imported> CSoundImporter::Import(const Request& request,
                                                         IProgressSink& progress) {
    CResult<CSoundSource> opened = CSoundSource::Open(request.source);
    if (!opened) {
        return opened.Error();
    }
    CSoundSource& source = opened.Value();
    const CSoundSource::Info& info = source.GetInfo();
    const Format from{info.channels, info.samplesPerSec, info.bitsPerSample};
    const Format target = TargetFormat(request.target, from, request.keepRate);
    // libsndfile gives a rate field of 0 as 1 Hz; resampled, a second of such
    // a file becomes hours, gigabytes of memory and a wave to match.
    if (info.samplesPerSec < kMinSourceRate) {
        return importError(
            request.source,
            QCoreApplication::translate(
                "CSoundImporter",
                "its sample rate of %1 Hz is too low for any sound (%2 Hz at least).")
                .arg(info.samplesPerSec)
                .arg(kMinSourceRate));
    }
    CSoundConverter converter(from, target);
    if (!converter.IsValid()) {
        return importError(request.source, converter.Error() + QLatin1Char('.'));
    }

    QByteArray data;
    const double ratio = static_cast<double>(target.samplesPerSec) / info.samplesPerSec;
    const int blockAlign = target.channels * target.bitsPerSample / 8;
    const auto tooLong = [&](double bytes) {
        return bytes > static_cast<double>(std::numeric_limits<qint32>::max());
    };
    const auto longerThanASample = [&] {
        progress.End();
        return importError(request.source,
                           QCoreApplication::translate(
                               "CSoundImporter", "it is longer than a bank's sample can be."));
    };
    // Known before any work from the length the file claims, and checked
    // again for each block for a file that holds more than it claims. A
    // stream whose end was never written (a cut Ogg) claims the largest
    // count there is: that is no length.
    const bool lengthKnown = info.frames < kUnknownLength;
    if (lengthKnown && tooLong(std::ceil(static_cast<double>(info.frames) * ratio) * blockAlign)) {
        return importError(request.source,
                           QCoreApplication::translate(
                               "CSoundImporter", "it is longer than a bank's sample can be."));
    }
    // The claimed length only sizes the buffer; a file that claims more
    // than it holds must not make us take memory for it.
    const double claimed = std::ceil(static_cast<double>(info.frames) * ratio) * blockAlign;
    const qint64 expected =
        static_cast<qint64>(std::clamp(claimed, 0.0, static_cast<double>(qint64{64} << 20)));
    data.reserve(static_cast<qsizetype>(expected));
    std::vector<float> block(static_cast<size_t>(kBlockFrames * info.channels));
    progress.Begin(QCoreApplication::translate("CSoundImporter", "Importing %1")
                       .arg(QFileInfo(request.source).fileName()),
                   info.frames);
    qint64 read = 0;
    for (qint64 got = 0; (got = source.Read(block.data(), kBlockFrames)) > 0;) {
        if (tooLong(static_cast<double>(data.size()) +
                    std::ceil(static_cast<double>(got) * ratio) * blockAlign)) {
            return longerThanASample();
        }
        converter.Push(block.data(), got, data);
        read += got;
        progress.Step(std::min(read, info.frames));
    }
    converter.Finish(data);
    progress.End();
    // Written to or cut short under us: the sound would be part one file,
    // part another.
    if (source.ChangedSinceOpened()) {
        return importError(request.source,
                           QCoreApplication::translate(
                               "CSoundImporter", "it changed while it was read; try again once "
                                                 "whatever writes it is done."));
    }
    if (read == 0 || data.isEmpty()) {
        return importError(
            request.source,
            QCoreApplication::translate("CSoundImporter", "no sound could be read from it."));
    }
    if (data.size() > std::numeric_limits<qint32>::max()) {
        return importError(request.source,
                           QCoreApplication::translate(
                               "CSoundImporter", "it is longer than a bank's sample can be."));
    }

    Imported imported;
    imported.format = target;
    imported.dataLength = data.size();
    imported.sourceDescription = info.description;
    imported.dithered = converter.Dithers();
    if (lengthKnown && read < info.claimedFrames) {
        imported.warning = QCoreApplication::translate(
                               "CSoundImporter",
                               "%1 holds %2 of the %3 frames it claims; only those were imported.")
                               .arg(QFileInfo(request.source).absoluteFilePath())
                               .arg(read)
                               .arg(info.claimedFrames);
    }
    const qint64 frames = data.size() / blockAlign;
    if (const std::optional<CSoundSource::Loop> loop = source.GetLoop()) {
        const qint64 start = std::min(std::llround(static_cast<double>(loop->start) * ratio),
                                      static_cast<long long>(frames - 1));
        const qint64 length = std::clamp<qint64>(
            std::llround(static_cast<double>(loop->length) * ratio), 1, frames - start);
        imported.hasLoop = true;
        imported.loopStart = start * blockAlign;
        imported.loopLength = length * blockAlign;
    }

    const CFolderListing listing(request.folder);
    imported.fileName = ChooseName(request.source, listing, request.isNameTaken);
    const QByteArray header = CWaveFile::MakeHeader(
        static_cast<quint16>(target.channels), static_cast<quint32>(target.samplesPerSec),
        static_cast<quint16>(target.bitsPerSample), static_cast<quint32>(data.size()));
    CFileBatch batch(request.folder);
    try {
        batch.Add(imported.fileName, {QByteArrayView(header), QByteArrayView(data)});
    } catch (const CFileException& e) {
        return FormatError{FormatError::Kind::Unreadable, e.GetErrorMessage()};
    }
    CFileException error;
    if (!batch.Commit(error).empty()) {
        return FormatError{FormatError::Kind::Unreadable, error.GetErrorMessage()};
    }
    return imported;
}
