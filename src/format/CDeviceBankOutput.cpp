#include "CDeviceBankOutput.h"

#include "framework/core/CFileException.h"

#include <QBuffer>
#include <QFileDevice>
#include <QIODevice>

#include <utility>

namespace {

// In the words a failing file gives.
FormatError failure(CFileException::Cause cause, const QString& path, const QIODevice& device) {
    return {FormatError::Kind::NotWritten,
            CFileException(cause, path, device.errorString()).GetErrorMessage()};
}

} // namespace

CDeviceBankOutput::CDeviceBankOutput(QIODevice& device, QString path)
    : m_device(device), m_strPath(std::move(path)) {}

CResult<void> CDeviceBankOutput::Write(const void* buffer, qint64 count) {
    const auto* in = static_cast<const char*>(buffer);
    for (qint64 total = 0; total < count;) {
        const qint64 put = m_device.write(in + total, count - total);
        if (put <= 0) {
            return failure(CFileException::diskFull, m_strPath, m_device);
        }
        total += put;
    }
    return {};
}

qint64 CDeviceBankOutput::Position() const {
    return m_device.pos();
}

CResult<void> CDeviceBankOutput::Seek(qint64 position) {
    if (!m_device.seek(position)) {
        return failure(CFileException::badSeek, m_strPath, m_device);
    }
    return {};
}

CResult<void> CDeviceBankOutput::SetLength(qint64 length) {
    // Only devices with a length of their own can be cut; on the others the
    // bank simply ends where the writing stopped.
    bool cut = true;
    if (auto* file = qobject_cast<QFileDevice*>(&m_device)) {
        cut = file->resize(length);
    } else if (auto* memory = qobject_cast<QBuffer*>(&m_device)) {
        memory->buffer().resize(static_cast<qsizetype>(length));
    }
    if (!cut) {
        return failure(CFileException::diskFull, m_strPath, m_device);
    }
    return {};
}

QString CDeviceBankOutput::Path() const {
    return m_strPath;
}
