#pragma once

// The games' installers record their installation folder in the publisher's
// ini file, in the section of each game under "Directory". These read it.

// Size of a value buffer the callers pass, terminator included; one more
// character is kept free for an appended separator.
inline constexpr int kGameSettingSize = 260;

// The value of key in the game's section: from "Halvane\halv.ini" in the
// Windows directory, else from "C:\Windows\Halvane\halv.ini"; an empty value
// counts as missing. A "Directory" value gets a trailing separator. buffer
// holds at least kGameSettingSize + 1 characters, or is null for the
// function's own buffer (one per game). Returns the buffer, or null when
// neither file yields a value.
char* ReadKorvexSetting(const char* key, char* buffer);
char* ReadLunarisSetting(const char* key, char* buffer);

// Makes a non-empty path end in a separator unless it ends in '\', '/' or ':'.
void AppendPathSeparator(char* path);
