#include "CBankDataWindow.h"

#include <algorithm>

CBankDataWindow::CBankDataWindow(const QString& path, const CFileIdentity& identity,
                                 qint64 dataOffset, qint64 fileSize)
    : m_source(path, identity, 0, fileSize), m_dataOffset(dataOffset), m_fileSize(fileSize) {}

QByteArrayView CBankDataWindow::Data(const SoundResource& r) {
    const qint64 at = m_dataOffset + r.offset;
    if (!m_strFailure.isEmpty() || at < 0 || at >= m_fileSize || r.length <= 0) {
        return {};
    }
    const qint64 length = std::min<qint64>(r.length, m_fileSize - at);
    if (at < m_start || at + length > m_end) {
        // A sample that starts in the last window, or a little after it, is
        // the next of a run: the window after it is read with it.
        const bool runs = m_end > m_start && at >= m_start && at - m_end < kWindow;
        m_ahead = runs ? std::clamp(m_ahead * 2, qint64{1} << 16, kWindow) : 0;
        const qint64 count = std::min(m_fileSize - at, length + m_ahead);
        if (m_buffer.size() < count) {
            m_buffer.resize(static_cast<qsizetype>(count));
        }
        const CResult<void> read =
            m_source.Read(at, count, reinterpret_cast<quint8*>(m_buffer.data()));
        if (!read) {
            m_strFailure = read.Error().text;
            m_start = m_end = 0;
            return {};
        }
        m_start = at;
        m_end = at + count;
    }
    return {m_buffer.constData() + (at - m_start), static_cast<qsizetype>(length)};
}
