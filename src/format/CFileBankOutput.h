#pragma once

#include "IBankOutput.h"

class CFile;

// A bank written to an open CFile.
class CFileBankOutput : public IBankOutput {
public:
    explicit CFileBankOutput(CFile& file) : m_file(file) {}

    CResult<void> Write(const void* buffer, qint64 count) override;
    qint64 Position() const override;
    CResult<void> Seek(qint64 position) override;
    CResult<void> SetLength(qint64 length) override;
    QString Path() const override;

private:
    CFile& m_file;
};
