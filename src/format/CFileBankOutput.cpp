#include "CFileBankOutput.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

namespace {

// CFile throws; the bank's writer takes results.
template <class Step> CResult<void> attempt(Step step) {
    try {
        step();
    } catch (const CFileException& e) {
        return FormatError{FormatError::Kind::NotWritten, e.GetErrorMessage()};
    }
    return {};
}

} // namespace

CResult<void> CFileBankOutput::Write(const void* buffer, qint64 count) {
    return attempt([&] { m_file.Write(buffer, count); });
}

qint64 CFileBankOutput::Position() const {
    return m_file.GetPosition();
}

CResult<void> CFileBankOutput::Seek(qint64 position) {
    return attempt([&] { m_file.Seek(position, CFile::begin); });
}

CResult<void> CFileBankOutput::SetLength(qint64 length) {
    return attempt([&] { m_file.SetLength(length); });
}

QString CFileBankOutput::Path() const {
    return m_file.GetFilePath();
}
