#pragma once

#include "CResult.h"
#include "NamesTable.h"

#include <QString>
#include <QtGlobal>

class CFile;

// Reads the names file of a bank: the entries after its "[body res]" line,
// one per resource, as "id "name" "description"". Shows nothing.
class CNamesFileReader {
public:
    // Limits of the names file. Longer lines, names and descriptions are cut
    // to these lengths; what is cut off is dropped, never carried over.
    static constexpr int kMaxNamesLine = 1023;
    static constexpr int kMaxName = 31;
    static constexpr int kMaxDescription = 255;
    // A names file of this size is none: a real one of 65,535 entries is a
    // few megabytes. A larger one is refused.
    static constexpr qint64 kMaxNamesFile = qint64{64} << 20;

    // The names file beside the bank at bankPath ("x.bnm" -> "x.bns") for a
    // bank of resourceCount resources. An error with an empty text is no names
    // file, or trouble nobody need hear of; otherwise its text says why the
    // file cannot be used.
    static CResult<NamesTable> ReadBeside(const QString& bankPath, int resourceCount,
                                          NamesTable::Strings strings = NamesTable::Strings::Owned);
    // Parses an open names file, reading through a bounded buffer whatever its
    // size. An error without text when there are no resources to name. File
    // errors throw CFileException.
    static CResult<NamesTable> Read(CFile& file, int resourceCount,
                                    NamesTable::Strings strings = NamesTable::Strings::Owned);
};
