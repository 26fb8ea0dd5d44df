#pragma once

#include "ListColumn.h"

#include <QString>

#include <array>

class CBankRecords;

// The texts of the resource list, cell by cell, computed from the records
// each time they are asked for. The list window and the command-line tool both
// show exactly these.
class CResourceCells {
public:
    enum Column {
        Name,
        Index,
        ResourceId,
        Type,
        Storage,
        FileName,
        Description,
        Offset,
        Length,
        LoopStart,
        LoopLength,
        Looped,
        Volume,
        SamplesPerSec,
        Channels,
        BitsPerSample,
        Flags,
        WaveFormat,
        CdTrack,
        ColumnCount
    };

    static const std::array<ListColumn, ColumnCount>& Columns();
    static int RowCount(const CBankRecords& records);
    // The text of one cell; empty for a row or column out of range.
    static QString Text(const CBankRecords& records, int row, int column);
    // Every cell of a row as Text gives it, each followed by a line break,
    // appended to out without a string for each cell: what a filter reads.
    static void AppendRowText(const CBankRecords& records, int row, QString& out);
    // The same with another character after each cell: a tab for the CLI's
    // table, which prints every row of a bank.
    static void AppendRowText(const CBankRecords& records, int row, QString& out, QChar separator);
    // The rows from first up to end, each as AppendRowText writes it but
    // with rowEnd after its last cell: the words the rows share are
    // translated once for them all.
    static void AppendRowsText(const CBankRecords& records, int first, int end, QString& out,
                               QChar separator, QChar rowEnd);
};
