#pragma once

#include "BankImage.h"
#include "CResult.h"
#include "NamesTable.h"

#include "framework/core/CFileIdentity.h"

#include <QString>

#include <optional>

// A bank file and the names file beside it, read only to be looked at: the
// one sequence kantel-cli and the comparison read a bank by, and the words
// every reader of a bank uses for a names file that cannot be used. It
// shows nothing; each caller tells of a failure in its own way.
class CBankAndNames {
public:
    // How much of a bank a reader looks at. Sample data and names cost most
    // of the reading of a big bank, so a reader that shows neither reads
    // neither.
    enum class Reading {
        Whole,       // the sample data too, and the names
        Records,     // the header region and the names
        HeaderRegion // the header region alone
    };

    // The bank at path and, unless reading says otherwise, the names beside
    // it. A file that cannot be opened fails as Unreadable, or NotAllowed
    // when it is no regular file; an empty one as Empty, without text; a file the bank reader
    // refuses with the reader's own error. strings says whose the names'
    // strings are: borrowed ones live only as long as this bank's names.
    static CResult<CBankAndNames> Read(const QString& path, Reading reading = Reading::Whole,
                                       NamesTable::Strings strings = NamesTable::Strings::Owned);
    // The names file beside a bank at bankPath of resourceCount resources,
    // or none: the bank then has no names, and *problem holds what a person
    // is to hear of it (empty when there is nothing to tell: no file at all).
    static std::optional<NamesTable>
    NamesBeside(const QString& bankPath, int resourceCount, QString* problem,
                NamesTable::Strings strings = NamesTable::Strings::Owned);

    BankImage image;
    NamesTable names;
    QString path; // the bank file as opened, absolute
    // The bank file as it was read, for a reader of the rest of it later.
    CFileIdentity identity;
    QString namesProblem; // what NamesBeside said, when the names were read
};
