#include "RecordingSoundPlayer.h"

RecordingSoundPlayer::RecordingSoundPlayer() : m_guard(this) {}

bool RecordingSoundPlayer::Play(const QString& path, unsigned flags) {
    sounds.append({path, flags});
    return true;
}
