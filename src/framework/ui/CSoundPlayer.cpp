#include "CSoundPlayer.h"

#include "CCommandRouter.h"
#include "CQtSoundPlayer.h"

void CSoundPlayer::PlayingChanged() {
    CCommandRouter::StateChanged();
}

template <> CSoundPlayer& CSeam<CSoundPlayer>::Default() {
    static CQtSoundPlayer qtPlayer;
    return qtPlayer;
}
