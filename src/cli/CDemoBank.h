#pragma once

#include <QString>

// Writes a small demo bank made up entirely by this program: Bnk_1.bnm, its
// names file and the wave files of its external samples. A dozen short
// synthesized samples of different rates, channels and bit depths, two CD
// tracks, and events of every type, some pointing into other banks or past
// the tables, so that every kind of cell has something to show.
class CDemoBank {
public:
    // Writes into folder, made first (with its parents) when it does not
    // exist. Returns an empty string on success, else what went wrong.
    static QString Write(const QString& folder);
};
