#pragma once

#include "framework/ui/ISoundEffect.h"

#include <QPointer>

class QSoundEffect;

// A sound played with QSoundEffect.
class CMultimediaSoundEffect final : public ISoundEffect {
public:
    CMultimediaSoundEffect();
    ~CMultimediaSoundEffect() override;

    void Play(const QUrl& source, std::function<void()> changed) override;
    bool IsPlaying() const override;
    bool Failed() const override;

private:
    // Parented to the application, which deletes it if this outlives it (a
    // player that lives as long as the program).
    QPointer<QSoundEffect> m_pEffect;
};
