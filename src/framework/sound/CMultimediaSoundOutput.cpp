#include "CMultimediaSoundOutput.h"

#include "CMultimediaSoundEffect.h"

#include <QAudioDevice>
#include <QMediaDevices>

bool CMultimediaSoundOutput::HasDevice() const {
    return !QMediaDevices::audioOutputs().isEmpty();
}

std::unique_ptr<ISoundEffect> CMultimediaSoundOutput::NewEffect() const {
    return std::make_unique<CMultimediaSoundEffect>();
}

extern "C" __attribute__((visibility("default"))) ISoundOutput* kantel_sound_output() {
    static CMultimediaSoundOutput output;
    return &output;
}
