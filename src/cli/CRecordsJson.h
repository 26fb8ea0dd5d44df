#pragma once

#include "format/CBankChecker.h"

#include <QString>

#include <vector>

class CBankRecords;

// The records of a bank, and the findings of its check, as JSON for scripts:
// the records' own fields under their field names, numbers as numbers, and
// null where a record has no such value (a CD track's sample format, a name
// the names file does not give, a Play event's fractions aside).
class CRecordsJson {
public:
    // An array of one object: the header's words, and the bank number.
    static QString Header(const CBankRecords& records);
    static QString Resources(const CBankRecords& records);
    static QString Events(const CBankRecords& records);
    static QString Findings(const std::vector<CBankChecker::Finding>& findings);
};
