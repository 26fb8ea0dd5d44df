#include "CDeviceBankOutput.h"

#include "framework/core/CFileException.h"

#include <QBuffer>
#include <QFileDevice>
#include <QIODevice>

#include <utility>

CDeviceBankOutput::CDeviceBankOutput(QIODevice& device, QString path)
    : m_device(device), m_strPath(std::move(path)) {}

void CDeviceBankOutput::Write(const void* buffer, qint64 count) {
    const auto* in = static_cast<const char*>(buffer);
    for (qint64 total = 0; total < count;) {
        const qint64 put = m_device.write(in + total, count - total);
        if (put <= 0) {
            throw CFileException(CFileException::diskFull, m_strPath, m_device.errorString());
        }
        total += put;
    }
}

qint64 CDeviceBankOutput::Position() const {
    return m_device.pos();
}

void CDeviceBankOutput::Seek(qint64 position) {
    if (!m_device.seek(position)) {
        throw CFileException(CFileException::badSeek, m_strPath, m_device.errorString());
    }
}

void CDeviceBankOutput::SetLength(qint64 length) {
    // Only devices with a length of their own can be cut; on the others the
    // bank simply ends where the writing stopped.
    bool cut = true;
    if (auto* file = qobject_cast<QFileDevice*>(&m_device)) {
        cut = file->resize(length);
    } else if (auto* memory = qobject_cast<QBuffer*>(&m_device)) {
        memory->buffer().resize(static_cast<qsizetype>(length));
    }
    if (!cut) {
        throw CFileException(CFileException::diskFull, m_strPath, m_device.errorString());
    }
}

QString CDeviceBankOutput::Path() const {
    return m_strPath;
}
