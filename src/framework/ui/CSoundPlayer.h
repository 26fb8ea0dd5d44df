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
};

// The Qt Multimedia one.
template <> CSoundPlayer& CSeam<CSoundPlayer>::Default();
