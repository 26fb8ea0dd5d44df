#include "CLoudnessMeter.h"

#include "CBnmFormat.h"
#include "CEbur128Library.h"
#include "CSoundSource.h"

#include "framework/core/CPlural.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

struct CLoudnessMeter::State {
    // What meter was made with, and is destroyed with.
    const CEbur128Library& libebur128;
    ebur128_state* meter = nullptr;
    explicit State(const CEbur128Library& library) : libebur128(library) {}
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (meter != nullptr) {
            libebur128.ebur128_destroy(&meter);
        }
    }
};

namespace {

double decibels(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : CLoudnessMeter::Reading::kNone;
}

// Frames of integer PCM are turned into floats this many at a time, so a
// long banked sample never needs a second copy of itself.
constexpr qint64 kBlockFrames = 8192;

} // namespace

bool CLoudnessMeter::Reading::HasLoudness() const {
    return std::isfinite(integrated);
}

bool CLoudnessMeter::Reading::HasPeak() const {
    return std::isfinite(samplePeak);
}

CLoudnessMeter::CLoudnessMeter(int channels, int samplesPerSec, bool truePeak)
    : m_nChannels(channels) {
    if (channels < 1 || samplesPerSec < 1) {
        return;
    }
    const CEbur128Library& libebur128 = CSeam<CEbur128Library>::Current();
    if (!libebur128.IsLoaded()) {
        m_libraryError = libebur128.Error();
        return;
    }
    auto state = std::make_unique<State>(libebur128);
    state->meter = libebur128.ebur128_init(
        static_cast<unsigned>(channels), static_cast<unsigned long>(samplesPerSec),
        EBUR128_MODE_I | (truePeak ? EBUR128_MODE_TRUE_PEAK : EBUR128_MODE_SAMPLE_PEAK));
    if (state->meter != nullptr) {
        m_pState = std::move(state);
    }
}

CLoudnessMeter::~CLoudnessMeter() = default;

void CLoudnessMeter::Add(const float* frames, qint64 count) {
    if (!IsValid() || count <= 0) {
        return;
    }
    m_pState->libebur128.ebur128_add_frames_float(m_pState->meter, frames,
                                                  static_cast<size_t>(count));
    m_nFrames += count;
}

void CLoudnessMeter::AddPcm(QByteArrayView data, int bitsPerSample) {
    if (!IsValid() ||
        (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != 24 && bitsPerSample != 32)) {
        return;
    }
    const int bytes = bitsPerSample / 8;
    const qint64 frameBytes = qint64{bytes} * m_nChannels;
    const qint64 frames = data.size() / frameBytes;
    const double scale = std::ldexp(1.0, -(bitsPerSample - 1));
    std::vector<float> block(static_cast<size_t>(std::min(frames, kBlockFrames) * m_nChannels));
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    for (qint64 done = 0; done < frames;) {
        const qint64 count = std::min(kBlockFrames, frames - done);
        const qint64 samples = count * m_nChannels;
        for (qint64 i = 0; i < samples; ++i, p += bytes) {
            qint64 value = 0;
            if (bytes == 1) {
                value = qint64{*p} - 128;
            } else {
                quint32 raw = 0;
                for (int b = 0; b < bytes; ++b) {
                    raw |= quint32{p[b]} << (8U * static_cast<unsigned>(b));
                }
                // Sign-extends from the sample's top bit.
                const unsigned unused = 32U - static_cast<unsigned>(bitsPerSample);
                value = static_cast<qint32>(raw << unused) >> unused;
            }
            block[static_cast<size_t>(i)] = static_cast<float>(static_cast<double>(value) * scale);
        }
        Add(block.data(), count);
        done += count;
    }
}

CLoudnessMeter::Reading CLoudnessMeter::Result() const {
    Reading reading;
    reading.frames = m_nFrames;
    if (!IsValid() || m_nFrames == 0) {
        return reading;
    }
    double loudness = 0.0;
    const CEbur128Library& libebur128 = m_pState->libebur128;
    if (libebur128.ebur128_loudness_global(m_pState->meter, &loudness) == EBUR128_SUCCESS &&
        std::isfinite(loudness)) {
        reading.integrated = loudness;
    }
    double truePeak = 0.0;
    double samplePeak = 0.0;
    for (int c = 0; c < m_nChannels; ++c) {
        double value = 0.0;
        if (libebur128.ebur128_true_peak(m_pState->meter, static_cast<unsigned>(c), &value) ==
            EBUR128_SUCCESS) {
            truePeak = std::max(truePeak, value);
        }
        if (libebur128.ebur128_sample_peak(m_pState->meter, static_cast<unsigned>(c), &value) ==
            EBUR128_SUCCESS) {
            samplePeak = std::max(samplePeak, value);
        }
    }
    // The true peak is never below the samples it passes through, whatever
    // the oversampling filter made of them.
    reading.samplePeak = decibels(samplePeak);
    reading.truePeak = decibels(std::max(truePeak, samplePeak));
    return reading;
}

CResult<CLoudnessMeter::Reading> CLoudnessMeter::MeasureFile(const QString& path,
                                                             const std::function<bool()>& canceled,
                                                             bool truePeak) {
    CResult<CSoundSource> opened = CSoundSource::Open(path, CSoundSource::Use::Measure);
    if (!opened) {
        return opened.Error();
    }
    CSoundSource& source = opened.Value();
    const CSoundSource::Info& info = source.GetInfo();
    const auto fail = [&](const QString& why) {
        return FormatError{FormatError::Kind::Unreadable,
                           QCoreApplication::translate("CLoudnessMeter",
                                                       "The loudness of %1 cannot be measured: %2")
                               .arg(QFileInfo(path).absoluteFilePath(), why)};
    };
    CLoudnessMeter meter(info.channels, info.samplesPerSec, truePeak);
    if (!meter.LibraryError().isEmpty()) {
        return fail(meter.LibraryError() + QLatin1Char('.'));
    }
    if (!meter.IsValid()) {
        return fail(QCoreApplication::translate("CLoudnessMeter",
                                                "%1 channels at %2 Hz are more than the meter "
                                                "takes.")
                        .arg(info.channels)
                        .arg(info.samplesPerSec));
    }
    std::vector<float> block(static_cast<size_t>(kBlockFrames * info.channels));
    for (qint64 got = 0; (got = source.Read(block.data(), kBlockFrames)) > 0;) {
        if (canceled && canceled()) {
            return fail(QCoreApplication::translate("CLoudnessMeter", "it was canceled."));
        }
        meter.Add(block.data(), got);
    }
    return meter.Result();
}

CResult<CLoudnessMeter::Reading> CLoudnessMeter::MeasureSample(const SoundResource& r,
                                                               QByteArrayView banked,
                                                               const QString& wavePath) {
    if (banked.isEmpty()) {
        return MeasureFile(wavePath, {}, false);
    }
    CLoudnessMeter meter(r.channels, r.samplesPerSec, false);
    if (!meter.LibraryError().isEmpty()) {
        return FormatError{FormatError::Kind::Unreadable,
                           QCoreApplication::translate("CLoudnessMeter",
                                                       "The loudness of %1 cannot be measured: %2.")
                               .arg(CBnmFormat::FileNameText(r), meter.LibraryError())};
    }
    const quint16 bits = r.bitsPerSample;
    if (!meter.IsValid() || r.waveFormat != SoundResource::kWaveFormatPcm ||
        (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        return FormatError{
            FormatError::Kind::Unreadable,
            CPlural::Text("CLoudnessMeter",
                          QT_TRANSLATE_N_NOOP("CLoudnessMeter", "The loudness of %1 cannot be "
                                                                "measured: its record's format (%2 "
                                                                "Hz, %n channel(s), %3 bits) is no "
                                                                "PCM the meter takes."),
                          r.channels)
                .arg(CBnmFormat::FileNameText(r))
                .arg(r.samplesPerSec)
                .arg(bits)};
    }
    meter.AddPcm(banked, r.bitsPerSample);
    return meter.Result();
}
