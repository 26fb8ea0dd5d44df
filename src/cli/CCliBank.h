#pragma once

#include "format/BankImage.h"
#include "format/CBankAndNames.h"
#include "format/CBankRecords.h"
#include "format/CLoudnessMeter.h"
#include "format/CResult.h"
#include "format/NamesTable.h"

#include <QString>

#include <optional>

class QTextStream;

// A bank kantel-cli read only to be looked at: nothing is written beside it.
// Also what the commands share about naming a bank and telling of trouble.
class CCliBank {
public:
    // How much of a bank a command looks at.
    using Reading = CBankAndNames::Reading;

    // The bank at path (standard input for "-") and, unless reading says
    // otherwise, the names beside it, or nothing after saying why. Troubles
    // the editor would show in message boxes go to err as lines. A command
    // that only shows the bank may let the names' strings borrow from its
    // names table (strings): they then live only as long as the bank.
    static std::optional<CCliBank> Read(const QString& path, QTextStream& err,
                                        Reading reading = Reading::Whole,
                                        NamesTable::Strings strings = NamesTable::Strings::Owned);

    // What Read says and gives of a bank file read as CBankAndNames reads
    // it (on any thread): Read is this, for a path that is no "-".
    static std::optional<CCliBank> Told(const QString& path, CResult<CBankAndNames> read,
                                        QTextStream& err);
    // Whether path names standard input.
    static bool IsStdin(const QString& path);
    // The bank as messages name it.
    static QString Label(const QString& path);
    // Shows text as the editor's message box of type would, on err's sink.
    static void Tell(QTextStream& err, const QString& text, unsigned type);
    // The editor closes the window of an empty file without a word; a script
    // needs to know why nothing was done.
    static void SayEmpty(const QString& path, QTextStream& err);
    // The resource a command line names: its table index, or the name the
    // names file gives it (its case aside when no name matches exactly). -1
    // after saying on err why there is none, or that several resources have
    // the name.
    static int FindResource(const CBankRecords& records, const QString& bankPath,
                            const QString& text, QTextStream& err);

    // How loud resource index's sample is where it lives: the bank's copy
    // of a banked one's data, else its wave file.
    CResult<CLoudnessMeter::Reading> MeasureSample(int index) const;
    CBankRecords Records() const;

    BankImage image;
    NamesTable names;
    QString path;           // the bank file as opened, absolute; empty for standard input
    CFileIdentity identity; // of the bank file as it was read
};
