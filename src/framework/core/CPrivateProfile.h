#pragma once

#include <QString>

// Reads one value of an ini file the way the Windows private-profile lookup
// does, which is how the games' installers expect their ini file to be read:
// section and key names match without regard to case, blanks around names and
// values do not count, a value in matching quotes loses them, the first
// section and key of a name win, and the result is cut to the caller's buffer
// size less one for the terminator. QSettings cannot stand in: its keys are
// case-sensitive on Linux.
class CPrivateProfile {
public:
    // Puts the value of key in section of the ini file at path into result, or
    // defaultValue when the file, section or key is missing, cut to size - 1
    // characters. Returns the number of characters put into result.
    static int GetString(const QString& section, const QString& key, const QString& defaultValue,
                         QString& result, int size, const QString& path);
};
