#pragma once

#include "IBankOutput.h"

class QIODevice;

// A bank written to an open, seekable QIODevice (a buffer, a socket's file).
// A write the device takes none of is a failure, never a reason to try again.
class CDeviceBankOutput : public IBankOutput {
public:
    CDeviceBankOutput(QIODevice& device, QString path);

    CResult<void> Write(const void* buffer, qint64 count) override;
    qint64 Position() const override;
    CResult<void> Seek(qint64 position) override;
    CResult<void> SetLength(qint64 length) override;
    QString Path() const override;

private:
    QIODevice& m_device;
    QString m_strPath;
};
