#include "CFileBankOutput.h"

#include "framework/core/CFile.h"

void CFileBankOutput::Write(const void* buffer, qint64 count) {
    m_file.Write(buffer, count);
}

qint64 CFileBankOutput::Position() const {
    return m_file.GetPosition();
}

void CFileBankOutput::Seek(qint64 position) {
    m_file.Seek(position, CFile::begin);
}

void CFileBankOutput::SetLength(qint64 length) {
    m_file.SetLength(length);
}

QString CFileBankOutput::Path() const {
    return m_file.GetFilePath();
}
