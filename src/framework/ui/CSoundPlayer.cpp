#include "CSoundPlayer.h"

#include "CQtSoundPlayer.h"

template <> CSoundPlayer& CSeam<CSoundPlayer>::Default() {
    static CQtSoundPlayer qtPlayer;
    return qtPlayer;
}
