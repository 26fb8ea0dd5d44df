#pragma once

#include "CLoudnessMeter.h"

#include <QString>

// The gain that makes a new sound as loud as the one it replaces: their
// integrated loudness made equal, or, where either is too short for a
// loudness reading, their sample peaks; never so much that the new sound's
// true peak would pass the ceiling.
class CLoudnessMatch {
public:
    // Headroom left for the reconstruction of a lossy or resampled copy.
    static constexpr double kCeilingDbtp = -1.0;

    enum class Method {
        None,     // either sound is silence: there is nothing to match
        Loudness, // integrated loudness
        Peak,     // sample peak, for a sound under one gating block
    };

    Method method = Method::None;
    double wantedDb = 0.0; // what matching would take
    double gainDb = 0.0;   // what the ceiling allows of it
    bool heldBack = false; // the ceiling allowed less than wanted

    // How sound, as measured, is made to match reference.
    static CLoudnessMatch Between(const CLoudnessMeter::Reading& reference,
                                  const CLoudnessMeter::Reading& sound);

    // The gain as a factor of the samples.
    double Factor() const;
    // "loudness -6.2 dB", "peak +3.0 dB", with the ceiling named when it
    // held the gain back; "no loudness change (silence)" for None.
    QString Text() const;
};
