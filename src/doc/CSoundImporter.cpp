#include "CSoundImporter.h"

#include "CBnmFormat.h"
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

CResult<CSoundImporter::Converted> CSoundImporter::Convert(const Request& request,
                                                           IProgressSink& progress) {
    CResult<CSoundSource> opened = CSoundSource::Open(request.source);
    if (!opened) {
        return opened.Error();
    }
    CSoundSource& source = opened.Value();
    const CSoundSource::Info& info = source.GetInfo();
    const Format from{info.channels, info.samplesPerSec, info.bitsPerSample};
    const Format target = TargetFormat(request.target, from, request.keepRate);
    CSoundConverter converter(from, target);
    if (!converter.IsValid()) {
        return importError(request.source, converter.Error() + QLatin1Char('.'));
    }

    QByteArray data;
    const double ratio = static_cast<double>(target.samplesPerSec) / info.samplesPerSec;
    const int blockAlign = target.channels * target.bitsPerSample / 8;
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
        converter.Push(block.data(), got, data);
        read += got;
        progress.Step(std::min(read, info.frames));
        if (data.size() > std::numeric_limits<qint32>::max()) {
            progress.End();
            return importError(request.source,
                               QCoreApplication::translate(
                                   "CSoundImporter", "it is longer than a bank's sample can be."));
        }
    }
    converter.Finish(data);
    progress.End();
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

    return Converted{std::move(imported),
                     CWaveFile::MakeHeader(static_cast<quint16>(target.channels),
                                           static_cast<quint32>(target.samplesPerSec),
                                           static_cast<quint16>(target.bitsPerSample),
                                           static_cast<quint32>(data.size())),
                     std::move(data)};
}

CResult<CSoundImporter::Imported> CSoundImporter::Import(const Request& request,
                                                         IProgressSink& progress) {
    CResult<Converted> converted = Convert(request, progress);
    if (!converted) {
        return converted.Error();
    }
    Converted& made = converted.Value();
    const CFolderListing listing(request.folder);
    made.imported.fileName = ChooseName(request.source, listing, request.isNameTaken);
    CFileBatch batch(request.folder);
    try {
        batch.Add(made.imported.fileName, {QByteArrayView(made.header), QByteArrayView(made.data)});
    } catch (const CFileException& e) {
        return FormatError{FormatError::Kind::Unreadable, e.GetErrorMessage()};
    }
    CFileException error;
    if (!batch.Commit(error).empty()) {
        return FormatError{FormatError::Kind::Unreadable, error.GetErrorMessage()};
    }
    return made.imported;
}

SoundResource CSoundImporter::RecordFor(const SoundResource& before, const Imported& imported) {
    SoundResource after = before;
    CBnmFormat::SetFileName(after, imported.fileName);
    after.channels = static_cast<quint16>(imported.format.channels);
    after.samplesPerSec = imported.format.samplesPerSec;
    after.bitsPerSample = static_cast<quint16>(imported.format.bitsPerSample);
    after.waveFormat = SoundResource::kWaveFormatPcm;
    after.length = static_cast<qint32>(imported.dataLength);
    if (imported.hasLoop) {
        after.looped = 1;
        after.loopStart = static_cast<qint32>(imported.loopStart);
        after.loopLength = static_cast<qint32>(imported.loopLength);
    } else if (after.looped != 0) {
        after.loopStart = 0;
        after.loopLength = after.length;
    } else {
        // Copies: the record is packed, and its fields may not be bound to
        // references.
        const qint32 length = after.length;
        const qint32 start = std::clamp(qint32{after.loopStart}, 0, length);
        after.loopStart = start;
        after.loopLength = std::clamp(qint32{after.loopLength}, 0, length - start);
    }
    return after;
}
