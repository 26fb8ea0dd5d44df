#include "PlaySound.h"

#include "CSoundPlayer.h"

bool PlaySound(const QString& path, unsigned flags) {
    return CSeam<CSoundPlayer>::Current().Play(path, flags);
}
