#pragma once

#include <QtGlobal>

// Integer PCM samples as a wave file stores them: little-endian, 1 to 4
// bytes each, 8-bit samples unsigned around 128 and wider ones signed. The
// one decoder of such samples, inline, as the waveform's summary reads every
// sample of a file through it.
class CPcmSamples {
public:
    // The sample at p, signed, at its full width.
    template <int Bytes> static qint32 Value(const uchar* p) {
        static_assert(Bytes >= 1 && Bytes <= 4);
        if constexpr (Bytes == 1) {
            return qint32{p[0]} - 128;
        } else {
            quint32 value = 0;
            for (int b = 0; b < Bytes; ++b) {
                value |= quint32{p[b]} << (8U * static_cast<unsigned>(b));
            }
            // Sign-extends from the sample's width.
            constexpr unsigned kShift = 32U - 8U * Bytes;
            return static_cast<qint32>(value << kShift) >> kShift;
        }
    }

    // The sample at p scaled to 16 bits: wider samples keep their two most
    // significant bytes, 8-bit ones move up a byte.
    template <int Bytes> static qint16 To16(const uchar* p) {
        if constexpr (Bytes == 1) {
            return static_cast<qint16>(Value<1>(p) * 256);
        } else {
            return static_cast<qint16>(Value<Bytes>(p) >> (8U * (Bytes - 2)));
        }
    }

    // count samples of bytes (1 to 4) each from p, as floats from -1 to 1.
    static void ToFloat(const uchar* p, int bytes, qint64 count, float* out) {
        switch (bytes) {
        case 1:
            ToFloat<1>(p, count, out);
            break;
        case 2:
            ToFloat<2>(p, count, out);
            break;
        case 3:
            ToFloat<3>(p, count, out);
            break;
        default:
            ToFloat<4>(p, count, out);
            break;
        }
    }

private:
    template <int Bytes> static void ToFloat(const uchar* p, qint64 count, float* out) {
        constexpr float kScale = 1.0F / static_cast<float>(1U << (8U * Bytes - 1U));
        for (qint64 i = 0; i < count; ++i, p += Bytes) {
            out[i] = static_cast<float>(Value<Bytes>(p)) * kScale;
        }
    }
};
