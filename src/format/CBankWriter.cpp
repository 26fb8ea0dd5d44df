#include "CBankWriter.h"

#include "CBnmFormat.h"
#include "CMessageList.h"
#include "CWaveFile.h"
#include "CWaveReader.h"
#include "IBankOutput.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CPathCase.h"
#include "framework/core/IProgressSink.h"

#include <QByteArray>
#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// Samples are copied in pieces of this size, so packing a bank never holds a
// whole sample in memory.
constexpr qint64 kCopyChunk = 1 << 20;

} // namespace

CBankWriter::CBankWriter(Bank bank, IProgressSink& progress)
    : m_bank(std::move(bank)), m_progress(progress) {}

const SampleExtraction& CBankWriter::Extraction(int index) const {
    static const SampleExtraction none;
    const auto at = static_cast<size_t>(index);
    return at < m_bank.extraction.size() ? m_bank.extraction[at] : none;
}

QString CBankWriter::SampleFilePath(const QString& folder, const SoundResource& resource) {
    const QString path = folder + CBnmFormat::FileNameText(resource);
    const QString existing = CPathCase::ResolveExisting(path);
    return existing.isEmpty() ? path : existing;
}

QString CBankWriter::WavePath(const SoundResource& resource) const {
    const auto staged = m_bank.staged.constFind(CBnmFormat::FileNameText(resource));
    return staged != m_bank.staged.cend() ? *staged : SampleFilePath(m_bank.folder, resource);
}

qint64 CBankWriter::UpdateSampleOffsets(BnmHeader& header, std::span<SoundResource> resources) {
    const quint64 sum =
        CBnmFormat::RecomputeSampleOffsets(resources.data(), static_cast<int>(resources.size()));
    const quint64 length = header.sampleDataOffset + sum;
    header.fileLength = static_cast<quint32>(length);
    return static_cast<qint64>(length);
}

CBankWriter::WaveCheck CBankWriter::CheckWave(CFile& wave, const QString& path) {
    WaveCheck check;
    check.path = path;
    CFileException error;
    if (!wave.Open(path, CFile::modeRead, &error)) {
        check.problem = error.m_cause == CFileException::fileNotFound     ? WaveProblem::Missing
                        : error.m_cause == CFileException::notRegularFile ? WaveProblem::NotRegular
                                                                          : WaveProblem::Unreadable;
        return check;
    }
    check.path = wave.GetFilePath();
    try {
        const CWaveReader::Info info = CWaveReader::Read(wave, CWaveReader::Stop::AtData);
        check.dataOffset = info.dataOffset;
        check.available = info.dataHeld;
        check.claimed = info.dataClaimed;
        if (info.hasFormat) {
            check.channels = info.format.channels;
            check.samplesPerSec = static_cast<int>(info.format.samplesPerSec);
            check.bitsPerSample = info.format.bitsPerSample;
        }
        if (!info.wave || !info.hasData) {
            check.problem = WaveProblem::NotWave;
        } else if (info.hasFormat && !info.format.pcm) {
            // The game plays integer PCM only; packed, the sample would be noise.
            check.problem = WaveProblem::NotPcm;
        } else if (!info.hasFormat || info.format.channels == 0 || info.format.samplesPerSec == 0 ||
                   info.format.bitsPerSample == 0) {
            check.problem = WaveProblem::NoFormat;
        } else if (check.claimed <= 0 || check.available <= 0) {
            check.problem = WaveProblem::NoData;
        } else if (check.claimed > std::numeric_limits<qint32>::max()) {
            check.problem = WaveProblem::TooLarge;
        }
    } catch (const CFileException&) {
        check.problem = WaveProblem::Unreadable;
    }
    return check;
}

QString CBankWriter::ProblemText(const WaveCheck& check) {
    switch (check.problem) {
    case WaveProblem::Missing:
        return QCoreApplication::translate("CBankWriter", "%1 was not found").arg(check.path);
    case WaveProblem::NotRegular:
        return QCoreApplication::translate("CBankWriter", "%1 is not a regular file")
            .arg(check.path);
    case WaveProblem::Unreadable:
        return QCoreApplication::translate("CBankWriter", "%1 could not be read").arg(check.path);
    case WaveProblem::NotWave:
        return QCoreApplication::translate("CBankWriter", "%1 exists but is not a wave file")
            .arg(check.path);
    case WaveProblem::NoData:
        return QCoreApplication::translate("CBankWriter", "%1 exists but holds no sample data")
            .arg(check.path);
    case WaveProblem::TooLarge:
        return QCoreApplication::translate("CBankWriter",
                                           "%1 holds more sample data than a bank can hold")
            .arg(check.path);
    case WaveProblem::NotPcm:
        return QCoreApplication::translate(
                   "CBankWriter", "%1 is not PCM, which the game cannot play; import it again to "
                                  "convert it")
            .arg(check.path);
    case WaveProblem::NoFormat:
        return QCoreApplication::translate(
                   "CBankWriter", "%1 gives no channels, sample rate or sample size, so the game "
                                  "cannot play it; import the sound again to make it whole")
            .arg(check.path);
    case WaveProblem::None:
        break;
    }
    return QString();
}

CResult<bool> CBankWriter::StoreSample(IBankOutput& output, int index) {
    WaveCheck check;
    return StoreChecked(output, index, check);
}

// A data chunk that claims more bytes than its file holds is what a write
// cut short leaves behind (a full disk, a killed program). The file gives
// what it has; where the bank held the sample when it was opened, the rest
// comes from there, so the sample keeps the length its record gives it.
CResult<bool> CBankWriter::StoreChecked(IBankOutput& output, int index, WaveCheck& check) {
    if (index < 0 || static_cast<size_t>(index) >= m_bank.resources.size() ||
        !m_bank.resources[static_cast<size_t>(index)].IsSample()) {
        check.problem = WaveProblem::Missing;
        return false;
    }
    const SoundResource& resource = m_bank.resources[static_cast<size_t>(index)];
    CFile wave;
    check = CheckWave(wave, WavePath(resource));
    if (check.problem != WaveProblem::None) {
        return false;
    }
    const SampleExtraction& opened = Extraction(index);
    const qint64 fromBank = check.claimed > check.available && opened.openedAt >= 0 &&
                                    opened.openedLength > check.available
                                ? std::min(check.claimed, opened.openedLength) - check.available
                                : 0;
    // A record keeps a length of 31 bits and the header a file length of 32;
    // data they cannot describe would be written with offsets that lie.
    if (output.Position() + check.available + fromBank > qint64{0xFFFFFFFF}) {
        check.problem = WaveProblem::TooLarge;
        return false;
    }
    CResult<bool> copied = CopyWaveData(output, wave, check);
    if (!copied || !copied.Value()) {
        return copied;
    }
    if (fromBank > 0) {
        if (CResult<void> loaded = LoadData(); !loaded) {
            return loaded.Error();
        }
        if (CResult<void> put =
                output.Write(m_bank.image + opened.openedAt + check.available, fromBank);
            !put) {
            return put.Error();
        }
    }
    if (check.claimed > check.available) {
        m_shortWaves.push_back(
            {CBnmFormat::FileNameText(resource), check.available, check.claimed, fromBank});
    }
    return true;
}

CResult<bool> CBankWriter::CopyWaveData(IBankOutput& output, CFile& wave, WaveCheck& check) {
    try {
        wave.Seek(check.dataOffset, CFile::begin);
    } catch (const CFileException&) {
        check.problem = WaveProblem::Unreadable;
        return false;
    }
    QByteArray buffer(static_cast<qsizetype>(std::min(check.available, kCopyChunk)), '\0');
    qint64 left = check.available;
    while (left > 0) {
        const qint64 want = std::min<qint64>(left, buffer.size());
        qint64 got = 0;
        try {
            got = wave.Read(buffer.data(), want);
        } catch (const CFileException&) {
            check.problem = WaveProblem::Unreadable;
            return false;
        }
        if (got != want) {
            check.problem = WaveProblem::Unreadable;
            return false;
        }
        // A failure to write the bank is the save's failure, not the sample's.
        if (CResult<void> put = output.Write(buffer.constData(), got); !put) {
            return put.Error();
        }
        left -= got;
    }
    return true;
}

CResult<void> CBankWriter::LoadData() const {
    return m_bank.loadData ? m_bank.loadData() : CResult<void>();
}

CResult<bool> CBankWriter::StoreFromImage(IBankOutput& output, int index) {
    const SampleExtraction& opened = Extraction(index);
    if (opened.openedLength <= 0 || opened.openedAt < 0 ||
        opened.openedAt + opened.openedLength > m_bank.imageSize) {
        return false;
    }
    if (CResult<void> loaded = LoadData(); !loaded) {
        return loaded.Error();
    }
    if (CResult<void> put = output.Write(m_bank.image + opened.openedAt, opened.openedLength);
        !put) {
        return put.Error();
    }
    return true;
}

// Every banked sample's length is made the number of bytes actually appended
// for it and the offsets are recomputed before the header region is written
// the last time, so the offsets always describe the data, whatever the file
// had and whatever size the wave files are.
//
// A save must never drop data that only the bank on disk holds: a sample
// banked when the bank was opened whose wave file cannot give its data back,
// whether it is still banked or was made external since. All such samples are
// gathered and named in one refusal, and the old bank stays.
void CBankWriter::Describe(int index, const WaveCheck& check, qint64 stored) {
    SoundResource& resource = m_bank.resources[static_cast<size_t>(index)];
    const qint32 before = resource.length;
    resource.length = static_cast<qint32>(stored);
    const bool reformat =
        check.channels > 0 && check.samplesPerSec > 0 && check.bitsPerSample > 0 &&
        (check.channels != resource.channels || check.samplesPerSec != resource.samplesPerSec ||
         check.bitsPerSample != resource.bitsPerSample);
    bool loopKept = false;
    // A loop over the whole sample stays over the whole sample; any other
    // is kept inside the data.
    if (resource.loopStart == 0 && resource.loopLength == before) {
        resource.loopLength = resource.length;
    } else if (reformat) {
        // The loop is in bytes of the record's format: in the wave's it
        // starts and ends at the same time, on whole frames.
        const qint64 oldFrame = qint64{resource.channels} * resource.bitsPerSample / 8;
        const qint64 newFrame = qint64{check.channels} * check.bitsPerSample / 8;
        if (oldFrame > 0 && newFrame > 0 && resource.samplesPerSec > 0) {
            const double scale = static_cast<double>(check.samplesPerSec) / resource.samplesPerSec;
            const auto convert = [&](qint64 bytes) {
                // Whole frames of the old format, then the time they take.
                const qint64 wholeFrames = bytes / oldFrame;
                const double frames = static_cast<double>(wholeFrames) * scale;
                return std::clamp<qint64>(std::llround(frames) * newFrame, 0, resource.length);
            };
            const qint64 start = convert(resource.loopStart);
            const qint64 end = convert(qint64{resource.loopStart} + resource.loopLength);
            resource.loopStart = static_cast<qint32>(start);
            resource.loopLength = static_cast<qint32>(end - start);
        } else {
            loopKept = true;
        }
    }
    // Copies: the record is packed, and its fields may not be bound to
    // references.
    const qint32 length = resource.length;
    const qint32 start = std::clamp(qint32{resource.loopStart}, 0, length);
    resource.loopStart = start;
    resource.loopLength = std::clamp(qint32{resource.loopLength}, 0, length - start);
    if (!reformat) {
        return;
    }
    // Played at the record's rate and width, the wave would sound wrong;
    // the record takes the file's, as the sample dialog's Select would.
    m_reformatted.push_back({CBnmFormat::FileNameText(resource), resource.channels,
                             resource.samplesPerSec, resource.bitsPerSample, check.channels,
                             check.samplesPerSec, check.bitsPerSample, loopKept});
    resource.channels = static_cast<quint16>(check.channels);
    resource.samplesPerSec = check.samplesPerSec;
    resource.bitsPerSample = static_cast<quint16>(check.bitsPerSample);
    resource.waveFormat = SoundResource::kWaveFormatPcm;
}

CResult<void> CBankWriter::PutRegion(IBankOutput& output) {
    if (CResult<void> sought = output.Seek(0); !sought) {
        return sought;
    }
    return output.Write(m_bank.image, m_bank.regionSize);
}

qint64 CBankWriter::BankedBytes() const {
    qint64 total = 0;
    for (const SoundResource& resource : m_bank.resources) {
        if (resource.IsBankedSample()) {
            total += std::max(qint32{resource.length}, 0);
        }
    }
    return total;
}

// An external sample whose data the bank held when it was opened must still
// have it in its wave file: the saved bank will not.
std::vector<CBankWriter::LostSample> CBankWriter::LostExternalSamples() const {
    std::vector<LostSample> lost;
    const int count = static_cast<int>(m_bank.resources.size());
    for (int i = 0; i < count; ++i) {
        const SoundResource& resource = m_bank.resources[static_cast<size_t>(i)];
        const SampleExtraction& opened = Extraction(i);
        if (resource.IsBankedSample() || !resource.IsSample() || opened.openedLength <= 0) {
            continue;
        }
        if (opened.state == SampleExtraction::State::Failed) {
            lost.push_back(
                {CBnmFormat::FileNameText(resource), false,
                 QCoreApplication::translate("CBankWriter", "its wave file could not be written")});
        } else if (opened.state == SampleExtraction::State::Written) {
            CFile wave;
            const WaveCheck check = CheckWave(wave, WavePath(resource));
            if (check.problem != WaveProblem::None) {
                lost.push_back({CBnmFormat::FileNameText(resource), false, ProblemText(check)});
            }
        }
    }
    return lost;
}

// Appends banked sample index and makes its record describe what was
// written; a sample that cannot be stored goes into refusal, or turns
// external where that loses nothing. True when the sample was stored.
CResult<bool> CBankWriter::PackSample(IBankOutput& output, int index, Refusal& refusal) {
    SoundResource& resource = m_bank.resources[static_cast<size_t>(index)];
    const qint64 before = output.Position();
    WaveCheck check;
    CResult<bool> stored = StoreChecked(output, index, check);
    if (!stored) {
        return stored;
    }
    if (!stored.Value()) {
        if (CResult<void> back = output.Seek(before); !back) {
            return back.Error();
        }
    }
    if (!stored.Value() &&
        (check.problem == WaveProblem::NotPcm || check.problem == WaveProblem::NoFormat)) {
        // Neither packing it nor dropping it is right: the user decides.
        refusal.unplayable.append(
            QCoreApplication::translate("CBankWriter", "Couldn't store %1: %2.")
                .arg(CBnmFormat::FileNameText(resource), ProblemText(check)));
        return false;
    }
    if (!stored.Value()) {
        const SampleExtraction& opened = Extraction(index);
        if (opened.state == SampleExtraction::State::Failed ||
            (CBnmFormat::FileNameText(resource).isEmpty() && opened.openedAt >= 0)) {
            // Opening could not write its wave file, or the record names
            // none (the names opening gave were taken back): its data is
            // still here, as the bank held it.
            stored = StoreFromImage(output, index);
            if (!stored) {
                return stored;
            }
        } else if (opened.state == SampleExtraction::State::Written && opened.openedLength > 0) {
            // Turning it external would lose it. A sample of which the
            // bank held nothing has nothing to lose and goes external
            // like any other.
            refusal.lost.push_back({CBnmFormat::FileNameText(resource), true, ProblemText(check)});
            return false;
        }
    }
    if (!stored.Value()) {
        // Told once the bank is saved: if the save fails, the record
        // stays as it was and the file error is all the user needs.
        m_unstored.append(CBnmFormat::FileNameText(resource));
        resource.storage = SoundResource::kStorageExternal;
        return false;
    }
    if (check.problem == WaveProblem::None && !check.path.isEmpty()) {
        Describe(index, check, output.Position() - before);
    } else {
        resource.length = static_cast<qint32>(output.Position() - before);
    }
    return true;
}

QString CBankWriter::RefusalText(const Refusal& refusal) {
    QStringList lines;
    for (const LostSample& sample : refusal.lost) {
        lines.append(
            sample.banked
                ? QCoreApplication::translate("CBankWriter", "Couldn't store %1: %2.")
                      .arg(sample.name, sample.why)
                : QCoreApplication::translate("CBankWriter", "%1 is no longer banked, and %2.")
                      .arg(sample.name, sample.why));
    }
    QString text;
    if (!refusal.lost.empty()) {
        text =
            QCoreApplication::translate(
                "CBankWriter", "%1\n%2 the only copy of %3 sample data, so the bank was not saved.")
                .arg(CMessageList::Join(lines),
                     QCoreApplication::translate("CBankWriter", "The bank holds"),
                     refusal.lost.size() == 1 ? QStringLiteral("its") : QStringLiteral("their"));
    }
    if (!refusal.unplayable.isEmpty()) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                QCoreApplication::translate("CBankWriter", "%1\nThe bank was not saved.")
                    .arg(CMessageList::Join(refusal.unplayable));
    }
    return text;
}

// The header region goes down a second time once every offset and length
// describes the data behind it.
CResult<void> CBankWriter::Finish(IBankOutput& output) {
    UpdateSampleOffsets(*m_bank.header, m_bank.resources);
    const qint64 end = output.Position();
    // A sample that failed half-way may have left bytes past the end.
    if (CResult<void> cut = output.SetLength(end); !cut) {
        return cut;
    }
    m_bank.header->fileLength = static_cast<quint32>(end);
    if (CResult<void> put = PutRegion(output); !put) {
        return put;
    }
    return output.Seek(end);
}

CResult<void> CBankWriter::Write(IBankOutput& output) {
    if (CResult<void> put = PutRegion(output); !put) {
        return put;
    }
    m_shortWaves.clear();
    m_unstored.clear();
    m_reformatted.clear();
    Refusal refusal;
    refusal.lost = LostExternalSamples();
    m_progress.Begin(QCoreApplication::translate("CBankWriter", "Saving"), BankedBytes());
    const int count = static_cast<int>(m_bank.resources.size());
    for (int i = 0; i < count; ++i) {
        if (!m_bank.resources[static_cast<size_t>(i)].IsBankedSample()) {
            continue;
        }
        const CResult<bool> stored = PackSample(output, i, refusal);
        if (!stored) {
            return stored.Error();
        }
        if (stored.Value()) {
            m_progress.Step(output.Position() - m_bank.regionSize);
        }
    }
    m_progress.End();
    if (!refusal.lost.empty() || !refusal.unplayable.isEmpty()) {
        m_shortWaves.clear();
        m_reformatted.clear();
        return FormatError{FormatError::Kind::NotWritten, RefusalText(refusal)};
    }
    return Finish(output);
}
