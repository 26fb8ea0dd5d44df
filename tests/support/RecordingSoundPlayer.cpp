#include "RecordingSoundPlayer.h"

#include "framework/ui/PlaySound.h"

RecordingSoundPlayer::RecordingSoundPlayer() : m_guard(this) {}

bool RecordingSoundPlayer::Play(const QString& path, unsigned flags) {
    sounds.append({path, flags});
    const bool playing = !path.isEmpty() && (flags & SND_ASYNC) != 0U;
    if (playing || m_bPlaying) {
        m_bPlaying = playing;
        PlayingChanged();
    }
    return true;
}

void RecordingSoundPlayer::Finish() {
    if (m_bPlaying) {
        m_bPlaying = false;
        PlayingChanged();
    }
}
