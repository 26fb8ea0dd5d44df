#pragma once

#include "ListColumn.h"

#include <QString>

#include <array>

class CBankRecords;

// The texts of the event list, cell by cell, computed from the records each
// time they are asked for; shared by the list window and the command-line tool.
class CEventCells {
public:
    enum Column { Index, EventId, Type, Param1, Param2, Param3, Stopable, Dynamic, ColumnCount };

    static const std::array<ListColumn, ColumnCount>& Columns();
    static int RowCount(const CBankRecords& records);
    // The text of one cell; empty for a row or column out of range.
    static QString Text(const CBankRecords& records, int row, int column);
};
