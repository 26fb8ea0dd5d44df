#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

class CFile;

// The lines of a names file, read through one buffer of bounded size, so a
// names file of any size costs no more memory than the lines it yields. Runs
// of line ends count as one; a line end at the very start yields one empty
// line; the text ends at the first zero byte.
class CNamesFileLines {
public:
    // Reads file from its start, bufferSize bytes at a time.
    explicit CNamesFileLines(CFile& file, qsizetype bufferSize = qsizetype{1} << 16);
    // The next line, cut to maxLength bytes (the rest of it is skipped);
    // false when the text is used up. Throws what CFile::Read throws.
    bool Next(QByteArray& line, qsizetype maxLength);
    // The same, as a view that holds until the next call: a line that lies
    // whole in the buffer, as nearly all do, is not copied.
    bool Next(QByteArrayView& line, qsizetype maxLength);

private:
    // The byte at the reading position, or -1 at the end of the text.
    int Peek();
    // Steps over the line ends after the last line. Done at the next call,
    // not at once: it may refill the buffer a view still points into.
    void SkipLineEnds();

    CFile& m_file;
    QByteArray m_buffer;
    qsizetype m_nFilled = 0;
    qsizetype m_nPos = 0;
    bool m_bEnd = false;
    bool m_bAfterLine = false;
    QByteArray m_line; // a line that runs across the end of the buffer
};
