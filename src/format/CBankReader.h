#pragma once

#include "BankImage.h"
#include "CResult.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

class CFile;

// Reads a whole bank into memory and finds its header and tables, or says why
// it is not a bank this editor can hold. Shows nothing.
//
// The file must be longer than the header and the resource table must start
// inside it, as the games' own check demands. A file whose sample data offset
// lies inside the header or past the end is refused as truncated: its header
// region is not all there, and saving would write memory we do not have or
// put sample data over the header. A table that runs past the header region
// keeps the records that fit whole, with a warning. The header words stay as
// read, so a save writes them back unchanged.
class CBankReader {
public:
    // Reads file from its start. File errors throw CFileException.
    static CResult<BankImage> Read(CFile& file);
    // The same, but only the header region goes into memory: for looking at
    // the records of a bank whose sample data nobody will ask for. Refuses
    // and warns about exactly what Read does.
    static CResult<BankImage> ReadRecords(CFile& file);
    // The same, with room for the whole file but only the header region
    // read: the sample data is for the caller to read into the image past
    // regionSize before anything looks at it (see CSampleDataSource).
    static CResult<BankImage> ReadHeaderRegion(CFile& file);
    // The same on bytes already in memory; path names the bank in messages
    // and gives its folder. An empty path is a bank that came from a stream:
    // it has no folder.
    static CResult<BankImage> Read(QByteArrayView bytes, const QString& path);

    // The records of each table that a file of length bytes with this header
    // holds whole, as Read keeps them; none when Read refuses the file as
    // truncated. Needs only the header, so another bank's tables can be
    // measured without reading them.
    struct TableCounts {
        int resources = 0;
        int events = 0;
    };
    static std::optional<TableCounts> CountTables(const BnmHeader& header, qint64 length);

private:
    // Finds the header and tables in image, read from a file of length bytes.
    static CResult<BankImage> Layout(BankImage image, const QString& path, qint64 length);
    static CResult<BankImage> Allocate(qint64 length);
    static CResult<BankImage> ReadRegion(CFile& file, bool roomForAll);
};
