#include "CSoundConverter.h"

#include "CSoxrLibrary.h"

#include "framework/core/CPlural.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

struct CSoundConverter::Resampler {
    // What soxr was made with, and is deleted with.
    const CSoxrLibrary& libsoxr;
    soxr_t soxr = nullptr;
    double ratio = 1.0;
    explicit Resampler(const CSoxrLibrary& library) : libsoxr(library) {}
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;
    ~Resampler() {
        if (soxr != nullptr) {
            libsoxr.soxr_delete(soxr);
        }
    }
};

namespace {

bool isTargetWidth(int bits) {
    return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// What the source's samples carry: float and compressed data more than any
// integer width written here.
int precisionOf(int bits) {
    return bits == 0 ? 64 : bits;
}

} // namespace

CSoundConverter::CSoundConverter(const Format& from, const Format& to) : m_from(from), m_to(to) {
    if (from.channels < 1 || from.samplesPerSec < 1) {
        m_error = QCoreApplication::translate("CSoundConverter",
                                              "the sound has no channels or no sample rate");
        return;
    }
    if (to.channels < 1 || to.channels > 8 || to.samplesPerSec < 1000 ||
        to.samplesPerSec > 384000 || !isTargetWidth(to.bitsPerSample)) {
        m_error = CPlural::Text("CSoundConverter",
                                QT_TRANSLATE_N_NOOP("CSoundConverter",
                                                    "%1 Hz, %n channel(s) and %2 bits is no "
                                                    "format a wave file can hold"),
                                to.channels)
                      .arg(to.samplesPerSec)
                      .arg(to.bitsPerSample);
        return;
    }
    m_bDither = to.bitsPerSample < precisionOf(from.bitsPerSample);
    if (from.samplesPerSec != to.samplesPerSec) {
        const CSoxrLibrary& libsoxr = CSeam<CSoxrLibrary>::Current();
        if (!libsoxr.IsLoaded()) {
            m_error = libsoxr.Error();
            return;
        }
        m_pResampler = std::make_unique<Resampler>(libsoxr);
        m_pResampler->ratio = static_cast<double>(to.samplesPerSec) / from.samplesPerSec;
        const soxr_io_spec_t io = libsoxr.soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = libsoxr.soxr_quality_spec(SOXR_VHQ, 0);
        soxr_error_t error = nullptr;
        m_pResampler->soxr =
            libsoxr.soxr_create(from.samplesPerSec, to.samplesPerSec,
                                static_cast<unsigned>(to.channels), &error, &io, &quality, nullptr);
        if (error != nullptr) {
            m_error = QCoreApplication::translate("CSoundConverter", "the resampler refused: %1")
                          .arg(QString::fromUtf8(error));
            m_pResampler.reset();
        }
    }
}

CSoundConverter::~CSoundConverter() = default;

void CSoundConverter::Mix(const float* frames, qint64 count) {
    const int in = m_from.channels;
    const int out = m_to.channels;
    m_mixed.resize(static_cast<size_t>(count * out));
    // A float file may hold values that are no numbers, or infinite ones;
    // they would spread through the resampler and have no integer to
    // become, so they are silence.
    const auto finite = [](float v) { return std::isfinite(v) ? v : 0.0F; };
    if (in == out) {
        std::transform(frames, frames + count * in, m_mixed.begin(), finite);
        return;
    }
    for (qint64 f = 0; f < count; ++f) {
        const float* source = frames + f * in;
        float* target = m_mixed.data() + f * out;
        if (in < out) {
            for (int c = 0; c < out; ++c) {
                target[c] = finite(source[c % in]);
            }
            continue;
        }
        // Each target channel averages the source channels that fall to it.
        for (int c = 0; c < out; ++c) {
            // In double, so that loud float values cannot add up to infinity.
            double sum = 0.0;
            int n = 0;
            for (int s = c; s < in; s += out) {
                sum += static_cast<double>(finite(source[s]));
                ++n;
            }
            target[c] = static_cast<float>(sum / n);
        }
    }
}

float CSoundConverter::Noise() {
    // xorshift32: fast, and the same file always converts to the same bytes.
    m_nSeed ^= m_nSeed << 13U;
    m_nSeed ^= m_nSeed >> 17U;
    m_nSeed ^= m_nSeed << 5U;
    return static_cast<float>(m_nSeed) * (1.0F / 4294967296.0F);
}

void CSoundConverter::Quantize(const float* samples, qint64 frames, QByteArray& out) {
    const qint64 count = frames * m_to.channels;
    const int bytes = m_to.bitsPerSample / 8;
    const qsizetype at = out.size();
    out.resize(at + static_cast<qsizetype>(count * bytes));
    auto* p = reinterpret_cast<unsigned char*>(out.data() + at);
    const double scale = std::ldexp(1.0, m_to.bitsPerSample - 1);
    const double high = scale - 1.0;
    for (qint64 i = 0; i < count; ++i) {
        double v = static_cast<double>(samples[i]) * m_gain * scale;
        if (m_bDither) {
            // Triangular noise of one step either way: the sum of two
            // uniform values, less one.
            v += static_cast<double>(Noise()) + static_cast<double>(Noise()) - 1.0;
        }
        // What the resampler made of the loudest values may be no number.
        v = std::isnan(v) ? 0.0 : std::clamp(std::nearbyint(v), -scale, high);
        const auto value = static_cast<qint64>(v);
        if (bytes == 1) {
            *p++ = static_cast<unsigned char>(value + 128);
            continue;
        }
        for (int b = 0; b < bytes; ++b) {
            *p++ = static_cast<unsigned char>(static_cast<quint64>(value) >> (8U * b));
        }
    }
}

template <typename Take> void CSoundConverter::Resample(qint64 count, Take take) {
    const auto room = static_cast<size_t>(std::ceil(count * m_pResampler->ratio)) + 64;
    m_resampled.resize(room * m_to.channels);
    size_t taken = 0;
    while (taken < static_cast<size_t>(count)) {
        size_t used = 0;
        size_t made = 0;
        m_pResampler->libsoxr.soxr_process(
            m_pResampler->soxr, m_mixed.data() + taken * m_to.channels,
            static_cast<size_t>(count) - taken, &used, m_resampled.data(), room, &made);
        take(m_resampled.data(), static_cast<qint64>(made));
        if (used == 0 && made == 0) {
            break;
        }
        taken += used;
    }
}

template <typename Take> void CSoundConverter::Drain(Take take) {
    const size_t room = 4096;
    m_resampled.resize(room * m_to.channels);
    for (;;) {
        size_t made = 0;
        m_pResampler->libsoxr.soxr_process(m_pResampler->soxr, nullptr, 0, nullptr,
                                           m_resampled.data(), room, &made);
        if (made == 0) {
            break;
        }
        take(m_resampled.data(), static_cast<qint64>(made));
    }
}

void CSoundConverter::Push(const float* frames, qint64 count, QByteArray& out) {
    if (!IsValid() || count <= 0) {
        return;
    }
    Mix(frames, count);
    if (!m_pResampler) {
        Quantize(m_mixed.data(), count, out);
        return;
    }
    Resample(count, [&](const float* made, qint64 n) { Quantize(made, n, out); });
}

void CSoundConverter::Finish(QByteArray& out) {
    if (!IsValid() || !m_pResampler) {
        return;
    }
    Drain([&](const float* made, qint64 n) { Quantize(made, n, out); });
}

namespace {

void append(std::vector<float>& out, const float* samples, qint64 count) {
    out.insert(out.end(), samples, samples + count);
}

} // namespace

void CSoundConverter::Convert(const float* frames, qint64 count, std::vector<float>& out) {
    if (!IsValid() || count <= 0) {
        return;
    }
    Mix(frames, count);
    if (!m_pResampler) {
        append(out, m_mixed.data(), count * m_to.channels);
        return;
    }
    Resample(count, [&](const float* made, qint64 n) { append(out, made, n * m_to.channels); });
}

void CSoundConverter::FinishConverting(std::vector<float>& out) {
    if (!IsValid() || !m_pResampler) {
        return;
    }
    Drain([&](const float* made, qint64 n) { append(out, made, n * m_to.channels); });
}
