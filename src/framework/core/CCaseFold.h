#pragma once

#include <QString>

// Case folding of file names as QString::toCaseFolded gives it, fast for the
// names banks hold. Opening a bank folds every sample's file name several
// times, and Qt looks up each character's Unicode properties, which cost more
// than everything else opening does per sample; almost every name is ASCII.
class CCaseFold {
public:
    // The same string as text.toCaseFolded(). An ASCII text already in lower
    // case comes back shared, without a copy.
    static QString Fold(const QString& text);
};
