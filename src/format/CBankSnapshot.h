#pragma once

#include "BankImage.h"
#include "CBankComparer.h"
#include "CBankRecords.h"
#include "CResult.h"
#include "NamesTable.h"

#include <QString>

#include <memory>

// A bank file read only to be looked at, with the names file beside it:
// nothing is written into its folder and no file stays open. What the
// editor compares the open bank with.
class CBankSnapshot {
public:
    // Reads the bank at path and its names file (a names file that cannot be
    // read only leaves the bank without names). The error's text names the
    // file; a file that is empty gives an error that says so.
    static CResult<std::unique_ptr<CBankSnapshot>> Read(const QString& path);

    // The bank file, absolute.
    const QString& Path() const { return m_strPath; }
    // Valid while the snapshot lives.
    CBankRecords Records() const;
    // The bank as it lies on disk: a banked sample's sound is the bank's
    // own copy, as the game plays it.
    CBankComparer::Bank ComparisonBank() const;

private:
    BankImage m_image;
    NamesTable m_names;
    QString m_strPath;
};
