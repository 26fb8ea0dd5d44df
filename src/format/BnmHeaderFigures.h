#pragma once

#include <QString>

// The six figures of the Header command, formatted for display.
struct BnmHeaderFigures {
    QString fileLength;          // "0x%08x"
    QString sampleDataOffset;    // "0x%08x"
    QString eventCount;          // "%d"
    QString eventTableOffset;    // "0x%08x"
    QString resourceCount;       // "%d"
    QString resourceTableOffset; // "0x%08x"
};
