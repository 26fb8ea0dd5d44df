// Long: conversion, loudness matching and staging of one import, each a step of its own.
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
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <optional>
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

QString channelsText(int channels) {
    if (channels == 1) {
        return QCoreApplication::translate("CSoundImporter", "mono");
    }
    if (channels == 2) {
        return QCoreApplication::translate("CSoundImporter", "stereo");
    }
    return QCoreApplication::translate("CSoundImporter", "%n channels", nullptr, channels);
}

// "22,050 Hz, stereo, 16-bit": what an import makes.
QString formatText(const CSoundImporter::Format& f) {
    QString text =
        CSoundImporter::RateText(f.samplesPerSec) + QStringLiteral(", ") + channelsText(f.channels);
    // Float and compressed data have no bits to speak of.
    return f.bitsPerSample > 0
               ? text +
                     QCoreApplication::translate("CSoundImporter", ", %1-bit").arg(f.bitsPerSample)
               : text;
}

// "WAV, 24-bit, 96 kHz, stereo": what the user chose, as a player shows it.
QString sourceText(const CSoundSource::Info& info) {
    QStringList parts{info.kind};
    if (info.bitsPerSample > 0) {
        parts.append(
            QCoreApplication::translate("CSoundImporter", "%1-bit").arg(info.bitsPerSample));
    }
    parts.append(QCoreApplication::translate("CSoundImporter", "%1 kHz")
                     .arg(QLocale(QLocale::English).toString(info.samplesPerSec / 1000.0, 'g', 6)));
    parts.append(channelsText(info.channels));
    return parts.join(QStringLiteral(", "));
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
               "%1 (%2) will be converted to %3 and saved in the bank's folder as "
               "a new wave file, which the sample then uses.")
        .arg(QFileInfo(request.source).fileName(), sourceText(info), formatText(to));
}

CResult<CSoundImporter::Formats> CSoundImporter::FormatsOf(const Request& request) {
    CResult<CSoundSource> opened = CSoundSource::Open(request.source);
    if (!opened) {
        return opened.Error();
    }
    const CSoundSource::Info& info = opened.Value().GetInfo();
    const Format from{info.channels, info.samplesPerSec, info.bitsPerSample};
    return Formats{from, TargetFormat(request.target, from, request.keepRate)};
}

QString CSoundImporter::RateText(int samplesPerSec) {
    // The prompts are written in English; their numbers are grouped so.
    return QCoreApplication::translate("CSoundImporter", "%1 Hz")
        .arg(QLocale(QLocale::English).toString(samplesPerSec));
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

struct CSoundImporter::Converted {
    CSoundSource source;
    Format target;
    std::unique_ptr<CSoundConverter> converter;
    QByteArray data;
    // Frames of the target's channels and rate, when asked for as floats.
    std::vector<float> floats;
    // Frames the source gave, and whether the length it claims is one.
    qint64 framesRead = 0;
    bool lengthKnown = false;

    // The source opened with its converter, nothing read yet; the error when
    // it cannot become a sample at all.
    static CResult<Converted> Open(const Request& request);
    // Reads the whole source through the converter into data (or floats).
    std::optional<FormatError> ReadAll(const Request& request, bool asFloats,
                                       IProgressSink& progress);
    // Puts the gain of a loudness match on the floats and makes them data.
    std::optional<FormatError> ApplyGain(const Request& request, double factor);
    // The format, length, loop and warnings of what data became.
    void Describe(const Request& request, Imported& imported) const;

    // Target frames for each source frame.
    double Ratio() const {
        return static_cast<double>(target.samplesPerSec) / source.GetInfo().samplesPerSec;
    }
    int BlockAlign() const { return target.channels * target.bitsPerSample / 8; }
    // What the sample will take in the bank, whichever form it is held in.
    qint64 DataSize(bool asFloats) const {
        return asFloats ? static_cast<qint64>(floats.size() / target.channels) * BlockAlign()
                        : qint64{data.size()};
    }
};

namespace {

QString tooLongText() {
    return QCoreApplication::translate("CSoundImporter",
                                       "it is longer than a bank's sample can be.");
}

bool tooLong(double bytes) {
    return bytes > static_cast<double>(std::numeric_limits<qint32>::max());
}

QString noMemoryText() {
    return QCoreApplication::translate("CSoundImporter",
                                       "there is not memory enough to convert it.");
}

} // namespace

CResult<CSoundImporter::Converted> CSoundImporter::Converted::Open(const Request& request) {
    CResult<CSoundSource> opened = CSoundSource::Open(request.source);
    if (!opened) {
        return opened.Error();
    }
    const CSoundSource::Info info = opened.Value().GetInfo();
    const Format from{info.channels, info.samplesPerSec, info.bitsPerSample};
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
    Converted converted{std::move(opened.Value()),
                        TargetFormat(request.target, from, request.keepRate),
                        nullptr,
                        {},
                        {},
                        0,
                        false};
    converted.converter = std::make_unique<CSoundConverter>(from, converted.target);
    if (!converted.converter->IsValid()) {
        return importError(request.source, converted.converter->Error() + QLatin1Char('.'));
    }
    // Known before any work from the length the file claims, and checked
    // again for each block for a file that holds more than it claims. A
    // stream whose end was never written (a cut Ogg) claims the largest
    // count there is: that is no length.
    converted.lengthKnown = info.frames < kUnknownLength;
    if (converted.lengthKnown &&
        tooLong(std::ceil(static_cast<double>(info.frames) * converted.Ratio()) *
                converted.BlockAlign())) {
        return importError(request.source, tooLongText());
    }
    return converted;
}

std::optional<FormatError> CSoundImporter::Converted::ReadAll(const Request& request, bool asFloats,
                                                              IProgressSink& progress) {
    const CSoundSource::Info& info = source.GetInfo();
    const double ratio = Ratio();
    const int blockAlign = BlockAlign();
    // The claimed length only sizes the buffer; a file that claims more
    // than it holds must not make us take memory for it.
    const double claimedFrames = std::ceil(static_cast<double>(info.frames) * ratio);
    const double limit = static_cast<double>(qint64{64} << 20);
    if (asFloats) {
        floats.reserve(static_cast<size_t>(
            std::clamp(claimedFrames * target.channels, 0.0, limit / sizeof(float))));
    } else {
        data.reserve(static_cast<qsizetype>(std::clamp(claimedFrames * blockAlign, 0.0, limit)));
    }
    std::vector<float> block(static_cast<size_t>(kBlockFrames * info.channels));
    progress.Begin(QCoreApplication::translate("CSoundImporter", "Importing %1")
                       .arg(QFileInfo(request.source).fileName()),
                   info.frames);
    framesRead = 0;
    // Matching holds the whole sound as floats, up to four times the bytes
    // of the sample it becomes: a very long one can outgrow the memory.
    try {
        for (qint64 got = 0; (got = source.Read(block.data(), kBlockFrames)) > 0;) {
            // Checked before each block for a file that holds more than it
            // claims, so the sound is never converted past what a sample holds.
            if (tooLong(static_cast<double>(DataSize(asFloats)) +
                        std::ceil(static_cast<double>(got) * ratio) * blockAlign)) {
                progress.End();
                return importError(request.source, tooLongText());
            }
            if (asFloats) {
                converter->Convert(block.data(), got, floats);
            } else {
                converter->Push(block.data(), got, data);
            }
            framesRead += got;
            progress.Step(std::min(framesRead, info.frames));
        }
        if (asFloats) {
            converter->FinishConverting(floats);
        } else {
            converter->Finish(data);
        }
    } catch (const std::bad_alloc&) {
        progress.End();
        return importError(request.source, noMemoryText());
    }
    progress.End();
    return std::nullopt;
}

CResult<CSoundImporter::Converted> CSoundImporter::Convert(const Request& request, bool asFloats,
                                                           IProgressSink& progress) {
    CResult<Converted> opened = Converted::Open(request);
    if (!opened) {
        return opened.Error();
    }
    Converted& converted = opened.Value();
    if (std::optional<FormatError> error = converted.ReadAll(request, asFloats, progress)) {
        return *error;
    }
    // Written to or cut short under us: the sound would be part one file,
    // part another.
    if (converted.source.ChangedSinceOpened()) {
        return importError(request.source,
                           QCoreApplication::translate(
                               "CSoundImporter", "it changed while it was read; try again once "
                                                 "whatever writes it is done."));
    }
    if (converted.framesRead == 0 || converted.DataSize(asFloats) == 0) {
        return importError(
            request.source,
            QCoreApplication::translate("CSoundImporter", "no sound could be read from it."));
    }
    if (tooLong(static_cast<double>(converted.DataSize(asFloats)))) {
        return importError(request.source, tooLongText());
    }
    return opened;
}

CResult<CLoudnessMatch> CSoundImporter::Match(const Request& request, const Converted& converted) {
    if (!request.reference) {
        return importError(request.source,
                           QCoreApplication::translate("CSoundImporter",
                                                       "there is no sound it replaces to match."));
    }
    const CResult<CLoudnessMeter::Reading> reference = request.reference();
    if (!reference) {
        return reference.Error();
    }
    CLoudnessMeter meter(converted.target.channels, converted.target.samplesPerSec);
    if (!meter.IsValid()) {
        return importError(request.source,
                           !meter.LibraryError().isEmpty()
                               ? meter.LibraryError() + QLatin1Char('.')
                               : QCoreApplication::translate("CSoundImporter",
                                                             "its loudness cannot be measured."));
    }
    meter.Add(converted.floats.data(),
              static_cast<qint64>(converted.floats.size() / converted.target.channels));
    return CLoudnessMatch::Between(reference.Value(), meter.Result());
}

CResult<CLoudnessMatch> CSoundImporter::MatchLoudness(const Request& request,
                                                      IProgressSink& progress) {
    const CResult<Converted> converted = Convert(request, true, progress);
    if (!converted) {
        return converted.Error();
    }
    return Match(request, converted.Value());
}

std::optional<FormatError> CSoundImporter::Converted::ApplyGain(const Request& request,
                                                                double factor) {
    // The gain goes in before the dither, which then covers the rounding of
    // the scaled samples.
    converter->SetGain(factor);
    try {
        converter->Quantize(floats.data(), static_cast<qint64>(floats.size() / target.channels),
                            data);
    } catch (const std::bad_alloc&) {
        return importError(request.source, noMemoryText());
    }
    floats = {};
    return std::nullopt;
}

void CSoundImporter::Converted::Describe(const Request& request, Imported& imported) const {
    const CSoundSource::Info& info = source.GetInfo();
    const int blockAlign = BlockAlign();
    imported.format = target;
    imported.dataLength = data.size();
    imported.sourceDescription = info.description;
    imported.dithered = converter->Dithers();
    if (lengthKnown && framesRead < info.claimedFrames) {
        imported.warning = QCoreApplication::translate(
                               "CSoundImporter",
                               "%1 holds %2 of the %3 frames it claims; only those were imported.")
                               .arg(QFileInfo(request.source).absoluteFilePath())
                               .arg(framesRead)
                               .arg(info.claimedFrames);
    }
    const qint64 frames = data.size() / blockAlign;
    if (const std::optional<CSoundSource::Loop> loop = source.GetLoop()) {
        const qint64 start = std::min(std::llround(static_cast<double>(loop->start) * Ratio()),
                                      static_cast<long long>(frames - 1));
        const qint64 length = std::clamp<qint64>(
            std::llround(static_cast<double>(loop->length) * Ratio()), 1, frames - start);
        imported.hasLoop = true;
        imported.loopStart = start * blockAlign;
        imported.loopLength = length * blockAlign;
    }
}

CResult<CSoundImporter::Prepared> CSoundImporter::Prepare(const Request& request,
                                                          IProgressSink& progress) {
    CResult<Converted> converting = Convert(request, request.matchLoudness, progress);
    if (!converting) {
        return converting.Error();
    }
    Converted& converted = converting.Value();
    const Format& target = converted.target;
    Imported imported;
    if (request.matchLoudness) {
        const CResult<CLoudnessMatch> match = Match(request, converted);
        if (!match) {
            return match.Error();
        }
        imported.loudness = match.Value();
        if (std::optional<FormatError> error =
                converted.ApplyGain(request, match.Value().Factor())) {
            return *error;
        }
    }
    converted.Describe(request, imported);
    QByteArray& data = converted.data;
    return Prepared{std::move(imported),
                    CWaveFile::MakeHeader(static_cast<quint16>(target.channels),
                                          static_cast<quint32>(target.samplesPerSec),
                                          static_cast<quint16>(target.bitsPerSample),
                                          static_cast<quint32>(data.size())),
                    std::move(data)};
}

CResult<CSoundImporter::Imported>
CSoundImporter::Stage(const Request& request, IProgressSink& progress, CFileBatch& batch) {
    CResult<Prepared> prepared = Prepare(request, progress);
    if (!prepared) {
        return prepared.Error();
    }
    Prepared& made = prepared.Value();
    const CFolderListing listing(request.folder);
    made.imported.fileName = ChooseName(request.source, listing, request.isNameTaken);
    try {
        batch.Add(made.imported.fileName, {QByteArrayView(made.header), QByteArrayView(made.data)});
    } catch (const CFileException& e) {
        return FormatError{FormatError::Kind::Unreadable, e.GetErrorMessage()};
    }
    return made.imported;
}

CResult<CSoundImporter::Imported> CSoundImporter::Import(const Request& request,
                                                         IProgressSink& progress) {
    CFileBatch batch(request.folder);
    CResult<Imported> staged = Stage(request, progress, batch);
    if (!staged) {
        return staged;
    }
    CFileException error;
    if (!batch.Commit(error).empty()) {
        return FormatError{FormatError::Kind::Unreadable, error.GetErrorMessage()};
    }
    return staged;
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
