#pragma once

#include "framework/core/CSeam.h"

#include <QString>

// Where PlaySound goes. The editor's player uses Qt Multimedia; tests install
// a recorder (CSeam<CSoundPlayer>).
class CSoundPlayer {
public:
    CSoundPlayer() = default;
    CSoundPlayer(const CSoundPlayer&) = delete;
    CSoundPlayer& operator=(const CSoundPlayer&) = delete;
    virtual ~CSoundPlayer() = default;

    // Plays path with PlaySound's flags and meaning.
    virtual bool Play(const QString& path, unsigned flags) = 0;
    // An asynchronous sound is still playing (a synchronous one has always
    // ended by the time anyone can ask).
    virtual bool IsPlaying() const = 0;

protected:
    // For players whose sound started or ended: commands that depend on
    // it (Stop) are asked for their state again.
    static void PlayingChanged();
};

// The Qt Multimedia one.
template <> CSoundPlayer& CSeam<CSoundPlayer>::Default();
