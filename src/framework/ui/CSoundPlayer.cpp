#include "CSoundPlayer.h"

#include "CQtSoundPlayer.h"

namespace {
CSoundPlayer* g_current = nullptr;
} // namespace

CSoundPlayer& CSoundPlayer::Current() {
    static CQtSoundPlayer qtPlayer;
    return g_current != nullptr ? *g_current : qtPlayer;
}

CSoundPlayer* CSoundPlayer::Install(CSoundPlayer* player) {
    CSoundPlayer* previous = g_current;
    g_current = player;
    return previous;
}
