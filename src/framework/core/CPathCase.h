#pragma once

#include <QString>

// Banks, names files and wave files were named on a file system that ignores
// case, so a name a record spells "ENGINE.WAV" may be "engine.wav" on disk.
class CPathCase {
public:
    // path itself when it exists; otherwise the first entry of its folder (in
    // name order, for a stable answer) whose name equals the last component
    // without regard to case; an empty string when there is neither. Only the
    // last component is matched loosely; the folder must exist as spelled.
    static QString ResolveExisting(const QString& path);
    // Follows relative, a path of components separated by '/', down from the
    // existing folder base, taking at each step the entry that matches without
    // regard to case. Components that do not exist are kept as spelled, so
    // the result names where a new file would go.
    static QString ResolveBelow(const QString& base, const QString& relative);
};
