#pragma once

#include <functional>

class QUrl;

// One sound being played by the playback module. Destroying it stops the
// sound.
class ISoundEffect {
public:
    ISoundEffect() = default;
    ISoundEffect(const ISoundEffect&) = delete;
    ISoundEffect& operator=(const ISoundEffect&) = delete;
    virtual ~ISoundEffect() = default;

    // Starts the wave file at source; changed is called from the event loop
    // whenever the sound starts or stops playing or fails.
    virtual void Play(const QUrl& source, std::function<void()> changed) = 0;
    virtual bool IsPlaying() const = 0;
    // The sound could not be loaded or played.
    virtual bool Failed() const = 0;
};
