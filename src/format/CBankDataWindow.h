#pragma once

#include "CResult.h"
#include "CSampleDataSource.h"
#include "SoundResource.h"

#include "framework/core/CFileIdentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// The samples a bank file holds, read from the file a window at a time
// rather than with the whole file: a reader that looks at each sample once,
// in table order, then reads the file about once, through one buffer of a
// megabyte, and never holds the bank. Samples that lie in the file in table
// order are read ahead; others are read one at a time. The file is the one
// that was read (kept open, checked before and after each read, as the
// editor checks the data it reads later).
class CBankDataWindow {
public:
    // The bank file at path, whose length is fileSize and whose sample data
    // starts at dataOffset, as it was when identity was taken of it.
    CBankDataWindow(const QString& path, const CFileIdentity& identity, qint64 dataOffset,
                    qint64 fileSize);

    // The bytes the file holds of r's sample: from its offset on, as many as
    // its length, or up to the end of the file. Valid until the next call.
    // Empty when the file holds none of them, or once a read failed.
    QByteArrayView Data(const SoundResource& r);
    // Why a read failed; empty while none did.
    const QString& Failure() const { return m_strFailure; }

private:
    static constexpr qint64 kWindow = qint64{1} << 20;

    CSampleDataSource m_source;
    qint64 m_dataOffset;
    qint64 m_fileSize;
    QByteArray m_buffer;
    qint64 m_start = 0; // the file's bytes [m_start, m_end) are in m_buffer
    qint64 m_end = 0;
    qint64 m_ahead = 0; // bytes read past a sample, growing while reads run on
    QString m_strFailure;
};
