#pragma once

#include "ISoundEffect.h"

#include <memory>

// What the playback module offers. The module links Qt Multimedia, which
// with its sound server libraries is too heavy to load at every start for
// an editor that mostly edits; CSoundModule loads it at the first sound.
class ISoundOutput {
public:
    ISoundOutput() = default;
    ISoundOutput(const ISoundOutput&) = delete;
    ISoundOutput& operator=(const ISoundOutput&) = delete;
    virtual ~ISoundOutput() = default;

    // There is a device to play on.
    virtual bool HasDevice() const = 0;
    virtual std::unique_ptr<ISoundEffect> NewEffect() const = 0;
};

// The module's one entry point, looked up by this name.
extern "C" {
using KantelSoundOutputFunction = ISoundOutput* (*)();
}
inline constexpr const char* kSoundOutputSymbol = "kantel_sound_output";
