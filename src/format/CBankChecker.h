#pragma once

#include "CBankRecords.h"
#include "ResourceName.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <span>
#include <vector>

// Finds what is wrong with a bank before the game does: targets that lead
// nowhere, wave files that do not match their records, sample data that
// overlaps or lies outside the file, ids given twice, names without
// resources, resources without names, and wave files no bank names. Reads
// the wave files' headers and the headers and resource tables of the other
// banks of the folder, and nothing else of them.
// Changes and shows nothing.
class CBankChecker {
public:
    struct Finding {
        enum class Kind {
            TableCut,          // the header lists more records than its region holds
            TargetPastEnd,     // a resource target past the end of its bank's table
            StopTargetMissing, // a Stop event's target event does not exist
            OtherBankMissing,  // the target bank is not in the folder, or is no bank
            BankOutOfRange,    // the target's bank number is not 0 to 3
            WaveMissing,
            WaveUnreadable, // not a regular file, not a wave file, or a read failed
            WaveNotPcm,
            WaveFormatDiffers, // rate, bits or channels differ from the record's
            WaveLengthDiffers, // the data the file holds differs from the record's length
            LoopPastData,
            DataOverlaps, // a banked sample's data overlaps another's
            DataOutsideFile,
            SharedWaveDiffers, // two samples name one wave file but their data differ
            DuplicateResourceId,
            DuplicateEventId,
            NameWithoutResource, // a names-file entry for an id no resource has
            ResourceWithoutName,
            NoNames,    // the names file is missing or gives no names
            WaveUnused, // a wave file of the folder that no bank of it names
        };
        enum class Record { Bank, Resource, Event, NamesEntry };

        Kind kind = Kind::TargetPastEnd;
        Record record = Record::Bank;
        int index = -1; // table or names-file position; -1 for the bank itself
        qint64 id = 0;  // the record's id; not meaningful for the bank
        QString file;   // the file the finding is about besides the bank, if any
        QString text;   // one plain sentence
    };

    // The bank to check. Whoever owns the records must outlive the checker.
    struct Bank {
        CBankRecords records;
        // The names file's entries, one per table position; empty when it
        // gave none.
        std::span<const ResourceName> names;
        // The bytes the records' banked sample data lie in.
        QByteArrayView image;
        // The bank's length, as far as its records know it.
        qint64 fileSize = 0;
        // The bank file, absolute. Empty for a bank that came from a stream:
        // it has no folder, so wave files, names file and the other banks
        // are not looked at.
        QString path;
    };

    explicit CBankChecker(Bank bank);

    // Every finding, grouped by what was checked (targets, wave files, sample
    // data, ids, names) and within that in table order.
    std::vector<Finding> Check() const;

    // The kind and the record as scripts see them ("targetPastEnd", "event").
    static QString KindName(Finding::Kind kind);
    static QString RecordName(Finding::Record record);
    // The record as a person reads it: "event 3 (id 104)", "bank".
    static QString RecordLabel(const Finding& finding);

private:
    class Run;

    Bank m_bank;
};
