#pragma once

#include "framework/ui/ISoundOutput.h"

// The playback module's output: Qt Multimedia's default device.
class CMultimediaSoundOutput final : public ISoundOutput {
public:
    bool HasDevice() const override;
    std::unique_ptr<ISoundEffect> NewEffect() const override;
};
