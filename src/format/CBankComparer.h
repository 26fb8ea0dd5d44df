#pragma once

#include "CBankRecords.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

// Tells what differs between two banks: the header figures, the resources
// and events compared by table index field by field, the names and
// descriptions the names files give them, and each sample's sound by its PCM
// bytes wherever they lie, so that moving a sample between the bank and its
// wave file, or the whole bank to another folder, changes no sound. Reads
// wave files a chunk at a time and writes nothing. Shows nothing.
class CBankComparer {
public:
    // One side of the comparison. Whoever owns the records and the image
    // must outlive the comparer.
    struct Bank {
        CBankRecords records;
        // The bank file, absolute: it names the bank in the texts, and its
        // folder is where the wave files are. Empty for a bank without a
        // folder, whose external samples then have no sound to compare.
        QString path;
        // The bank's own copy of the data of resource index; empty when it
        // holds none.
        std::function<QByteArrayView(int index)> bankedData;
        // A bank open in the editor: its banked samples' wave files are what
        // the next save packs, so they are their sound, and the bank's copy
        // counts only where a wave file cannot give it. A bank read from
        // disk is what the game plays: its copy is a banked sample's sound.
        bool wavesFirst = false;
    };

    struct Difference {
        enum class Record { Header, Resource, Event, Name };
        Record record = Record::Header;
        int index = -1; // table index; -1 for the header
        // The field as --records names it, "sound" for the audio; empty for
        // a record only one bank has.
        QString field;
        // The values as typed: numbers as qint64, texts as QString, flags as
        // a list of numbers, a sound as a map of its format and byte count.
        // A null QVariant where the bank has no such value.
        QVariant a;
        QVariant b;
        QString label; // "resource 12 (Horn)"
        QString text;  // what differs, after the label: "volume 100 -> 64"
    };

    struct Result {
        std::vector<Difference> differences; // header, resources, events, names
        // Sounds that could be compared in neither bank, one sentence each:
        // not a difference, but not known to be equal either.
        QStringList warnings;
    };

    CBankComparer(Bank a, Bank b);

    Result Compare() const;

    // The record as scripts see it: "header", "resource", "event", "name".
    static QString RecordName(Difference::Record record);

private:
    class Run;

    Bank m_a;
    Bank m_b;
};
