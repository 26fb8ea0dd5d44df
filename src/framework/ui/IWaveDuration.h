#pragma once

#include "framework/core/CSeam.h"

#include <QtGlobal>

class QIODevice;

// How long the wave file open in a device plays. The framework reads no wave
// files itself: the application puts the program's reader in place at
// start-up, and until then no file counts as playable.
class IWaveDuration {
public:
    virtual ~IWaveDuration() = default;
    // Milliseconds, or -1 when the device holds no wave file that can be
    // timed.
    virtual qint64 DurationMs(QIODevice& device) const = 0;
};

// Knows no wave file (CQtSoundPlayer.cpp).
template <> IWaveDuration& CSeam<IWaveDuration>::Default();
