#include "doc/CLoudnessMatch.h"

#include <gtest/gtest.h>

namespace {

CLoudnessMeter::Reading reading(double lufs, double peak, double truePeak) {
    CLoudnessMeter::Reading r;
    r.integrated = lufs;
    r.samplePeak = peak;
    r.truePeak = truePeak;
    return r;
}

constexpr double kNone = CLoudnessMeter::Reading::kNone;

} // namespace

TEST(CLoudnessMatch, MatchesLoudnessOrPeakAndNeverPassesTheCeiling) {
    const CLoudnessMatch quieter =
        CLoudnessMatch::Between(reading(-20, -3, -2.5), reading(-30, -18, -17.5));
    EXPECT_EQ(quieter.method, CLoudnessMatch::Method::Loudness);
    EXPECT_DOUBLE_EQ(quieter.gainDb, 10.0);
    EXPECT_FALSE(quieter.heldBack);
    EXPECT_NEAR(quieter.Factor(), 3.1623, 1e-4);
    EXPECT_EQ(quieter.Text(), QStringLiteral("loudness +10.0 dB"));

    // Matching wants +20 dB; the true peak allows +4.
    const CLoudnessMatch held =
        CLoudnessMatch::Between(reading(-10, -1, -1), reading(-30, -5.5, -5));
    EXPECT_DOUBLE_EQ(held.gainDb, 4.0);
    EXPECT_DOUBLE_EQ(held.wantedDb, 20.0);
    EXPECT_TRUE(held.heldBack);
    EXPECT_EQ(held.Text(), QStringLiteral("loudness +4.0 dB, held back by the peak limit of "
                                          "-1.0 dBTP (matching wanted +20.0 dB)"));

    // Equally loud already, but past the ceiling: it comes down to it.
    const CLoudnessMatch past = CLoudnessMatch::Between(reading(-12, -1, -1), reading(-12, 0, 0.5));
    EXPECT_DOUBLE_EQ(past.gainDb, -1.5);
    EXPECT_TRUE(past.heldBack);

    // Either side under one gating block: the sample peaks are matched.
    const CLoudnessMatch shortOne =
        CLoudnessMatch::Between(reading(kNone, -12, -11.8), reading(-20, -6, -6));
    EXPECT_EQ(shortOne.method, CLoudnessMatch::Method::Peak);
    EXPECT_DOUBLE_EQ(shortOne.gainDb, -6.0);
    EXPECT_EQ(shortOne.Text(), QStringLiteral("peak -6.0 dB"));

    // Rounding never shows a sign on nothing.
    EXPECT_EQ(CLoudnessMatch::Between(reading(-20.04, -3, -3), reading(-20, -3, -3)).Text(),
              QStringLiteral("loudness 0.0 dB"));

    // Silence on either side: nothing to scale, and nothing scaled.
    for (const auto& [reference, sound] :
         {std::pair{reading(kNone, kNone, kNone), reading(-20, -3, -3)},
          std::pair{reading(-20, -3, -3), reading(kNone, kNone, kNone)}}) {
        const CLoudnessMatch none = CLoudnessMatch::Between(reference, sound);
        EXPECT_EQ(none.method, CLoudnessMatch::Method::None);
        EXPECT_DOUBLE_EQ(none.Factor(), 1.0);
        EXPECT_FALSE(none.heldBack);
    }
}
