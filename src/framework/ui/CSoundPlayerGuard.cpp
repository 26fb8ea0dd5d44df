#include "CSoundPlayerGuard.h"

#include "CSoundPlayer.h"

CSoundPlayerGuard::CSoundPlayerGuard(CSoundPlayer* player)
    : m_pPrevious(CSoundPlayer::Install(player)) {}

CSoundPlayerGuard::~CSoundPlayerGuard() {
    CSoundPlayer::Install(m_pPrevious);
}
