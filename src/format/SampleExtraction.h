#pragma once

#include <QtGlobal>

// What became of a banked sample's data when the bank was opened, and where
// that data lay in the image, so a save can tell data only the bank holds
// from data that never was in it.
struct SampleExtraction {
    enum class State : quint8 {
        None,    // not a banked sample when the bank was read
        Written, // its wave file exists (found or written)
        Failed,  // the wave file could not be written; the data is only here
    };
    State state = State::None;
    // The sample's bytes in the image; at -1 when only the length is known
    // (the bank saved since holds that much of it).
    qint64 openedAt = 0;
    qint64 openedLength = 0;
};
