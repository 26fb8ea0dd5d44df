#pragma once

#include <QString>

// Where PlaySound goes. The editor's player uses Qt Multimedia; tests install
// a recorder. Exactly one player is current at any time.
class CSoundPlayer {
public:
    CSoundPlayer() = default;
    CSoundPlayer(const CSoundPlayer&) = delete;
    CSoundPlayer& operator=(const CSoundPlayer&) = delete;
    virtual ~CSoundPlayer() = default;

    // Plays path with PlaySound's flags and meaning.
    virtual bool Play(const QString& path, unsigned flags) = 0;

    // The current player; the Qt Multimedia one when none was installed.
    static CSoundPlayer& Current();
    // Makes player current (not owned) and returns the one it replaces;
    // nullptr restores the Qt Multimedia player.
    static CSoundPlayer* Install(CSoundPlayer* player);
};
