#pragma once

class CSoundPlayer;

// Installs a sound player for the lifetime of the guard and puts the previous
// one back when it ends.
class CSoundPlayerGuard {
public:
    explicit CSoundPlayerGuard(CSoundPlayer* player);
    ~CSoundPlayerGuard();
    CSoundPlayerGuard(const CSoundPlayerGuard&) = delete;
    CSoundPlayerGuard& operator=(const CSoundPlayerGuard&) = delete;

private:
    CSoundPlayer* m_pPrevious;
};
