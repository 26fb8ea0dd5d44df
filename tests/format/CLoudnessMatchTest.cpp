#include "format/CLoudnessMatch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kNone = CLoudnessMeter::Reading::kNone;

CLoudnessMeter::Reading reading(double lufs, double peak, double truePeak) {
    CLoudnessMeter::Reading r;
    r.integrated = lufs;
    r.samplePeak = peak;
    r.truePeak = truePeak;
    return r;
}

} // namespace

TEST(CLoudnessMatch, MatchesLoudnessOrPeakAndNeverPassesTheCeiling) {
    using M = CLoudnessMatch::Method;
    struct Case {
        CLoudnessMeter::Reading reference, sound;
        M method;
        double gainDb;
        const char* text;
    };
    for (const Case& c : {
             Case{reading(-20, -3, -2.5), reading(-30, -18, -17.5), M::Loudness, 10.0,
                  "loudness +10.0 dB"},
             // Matching wants +20 dB; the true peak allows +4.
             Case{reading(-10, -1, -1), reading(-30, -5.5, -5), M::Loudness, 4.0,
                  "loudness +4.0 dB, held back by the peak limit of -1.0 dBTP (matching wanted "
                  "+20.0 dB)"},
             // Equally loud already, but past the ceiling: it comes down to it.
             Case{reading(-12, -1, -1), reading(-12, 0, 0.5), M::Loudness, -1.5,
                  "loudness -1.5 dB, held back by the peak limit of -1.0 dBTP (matching wanted "
                  "0.0 dB)"},
             // Either side under one gating block: the sample peaks are matched.
             Case{reading(kNone, -12, -11.8), reading(-20, -6, -6), M::Peak, -6.0, "peak -6.0 dB"},
             // Rounding never shows a sign on nothing.
             Case{reading(-20.04, -3, -3), reading(-20, -3, -3), M::Loudness, -0.04,
                  "loudness 0.0 dB"},
             // Silence on either side: nothing to scale, and nothing scaled.
             Case{reading(kNone, kNone, kNone), reading(-20, -3, -3), M::None, 0.0,
                  "no loudness change (silence)"},
             Case{reading(-20, -3, -3), reading(kNone, kNone, kNone), M::None, 0.0,
                  "no loudness change (silence)"},
         }) {
        const CLoudnessMatch match = CLoudnessMatch::Between(c.reference, c.sound);
        EXPECT_EQ(match.method, c.method) << c.text;
        EXPECT_NEAR(match.gainDb, c.gainDb, 1e-9) << c.text;
        EXPECT_NEAR(match.Factor(), std::pow(10.0, c.gainDb / 20.0), 1e-9) << c.text;
        EXPECT_EQ(match.Text(), QString::fromLatin1(c.text));
    }
}
