#pragma once

#include <QString>

// Sound flags as the program's code spells them, with the platform's values.
inline constexpr unsigned SND_SYNC = 0x00000000U;
inline constexpr unsigned SND_ASYNC = 0x00000001U;
inline constexpr unsigned SND_NODEFAULT = 0x00000002U;
inline constexpr unsigned SND_FILENAME = 0x00020000U;

// Plays the wave file at path (relative paths from the current folder)
// through the current sound player. With SND_ASYNC it returns at once and the
// sound plays on; without, it returns when the sound has ended, taking no
// user input meanwhile. A new sound stops the one still playing; an empty
// path only stops it. Nothing is ever reported to the user: the result only
// says whether playing started.
bool PlaySound(const QString& path, unsigned flags);
