#include "CWaveReader.h"

#include "framework/core/CFile.h"

#include <QByteArrayView>
#include <QFile>
#include <QIODevice>
#include <QtEndian>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kRiffHeaderSize = 12;
constexpr qint64 kChunkHeaderSize = 8;
constexpr qint64 kPlainFormatSize = 16;
// The extensible form adds the extension size, valid bits, channel mask and
// the sub-format's GUID.
constexpr qint64 kExtensibleFormatSize = 40;
constexpr qint64 kSamplerHeaderSize = 36;
constexpr qint64 kSamplerLoopSize = 24;
// Later loops are of no use to a player; the cap bounds what a hostile count
// makes us read.
constexpr quint32 kMaxLoops = 64;
// A wave file's chunks before its data fit in this much in all but odd files,
// which ReadFile reads on from there.
constexpr qint64 kFileHead = 1024;

// The GUID of integer PCM as an extensible format chunk stores it.
constexpr char kPcmSubFormat[] = "\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";

quint16 Get16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 Get32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

class FileSource {
public:
    explicit FileSource(CFile& file) : m_file(file) {}
    qint64 Length() const { return m_file.GetLength(); }
    QByteArray ReadAt(qint64 at, qint64 count) {
        QByteArray bytes(static_cast<qsizetype>(count), '\0');
        m_file.Seek(at, CFile::begin);
        bytes.truncate(static_cast<qsizetype>(m_file.Read(bytes.data(), count)));
        return bytes;
    }

private:
    CFile& m_file;
};

class DeviceSource {
public:
    explicit DeviceSource(QIODevice& device) : m_device(device) {}
    qint64 Length() const { return m_device.size(); }
    QByteArray ReadAt(qint64 at, qint64 count) {
        if (!m_device.seek(at)) {
            return QByteArray();
        }
        return m_device.read(count);
    }

private:
    QIODevice& m_device;
};

class BytesSource {
public:
    explicit BytesSource(const QByteArray& bytes) : m_bytes(bytes) {}
    qint64 Length() const { return m_bytes.size(); }
    QByteArray ReadAt(qint64 at, qint64 count) const {
        return m_bytes.mid(static_cast<qsizetype>(at), static_cast<qsizetype>(count));
    }

private:
    const QByteArray& m_bytes;
};

class HeadSource {
public:
    HeadSource(QByteArrayView head, qint64 length,
               const std::function<QByteArray(qint64, qint64)>& readAt)
        : m_head(head), m_length(length), m_readAt(readAt) {}
    qint64 Length() const { return m_length; }
    QByteArray ReadAt(qint64 at, qint64 count) const {
        if (at >= 0 && at + count <= m_head.size()) {
            return m_head.sliced(at, count).toByteArray();
        }
        return m_readAt ? m_readAt(at, count) : QByteArray();
    }

private:
    QByteArrayView m_head;
    qint64 m_length;
    const std::function<QByteArray(qint64, qint64)>& m_readAt;
};

void ReadFormat(const QByteArray& body, CWaveReader::Info& info) {
    if (body.size() < kPlainFormatSize) {
        return;
    }
    CWaveReader::Format& format = info.format;
    format.formatTag = Get16(body, 0);
    format.channels = Get16(body, 2);
    format.samplesPerSec = Get32(body, 4);
    format.avgBytesPerSec = Get32(body, 8);
    format.blockAlign = Get16(body, 12);
    format.bitsPerSample = Get16(body, 14);
    if (format.formatTag == CWaveReader::kFormatPcm) {
        format.pcm = true;
    } else if (format.formatTag == CWaveReader::kFormatExtensible &&
               body.size() >= kExtensibleFormatSize &&
               Get16(body, 16) >= kExtensibleFormatSize - kPlainFormatSize - 2) {
        format.pcm = QByteArrayView(body).sliced(24, 16) ==
                     QByteArrayView(kPcmSubFormat, sizeof kPcmSubFormat - 1);
    }
    info.hasFormat = true;
}

template <class Source>
void ReadLoops(Source& source, qint64 body, qint64 held, CWaveReader::Info& info) {
    if (held < kSamplerHeaderSize) {
        return;
    }
    const QByteArray header = source.ReadAt(body, kSamplerHeaderSize);
    if (header.size() != kSamplerHeaderSize) {
        return;
    }
    const qint64 room = (held - kSamplerHeaderSize) / kSamplerLoopSize;
    const qint64 count = qMin<qint64>(qMin<qint64>(Get32(header, 28), kMaxLoops), room);
    const QByteArray loops = source.ReadAt(body + kSamplerHeaderSize, count * kSamplerLoopSize);
    for (qsizetype at = 0; at + kSamplerLoopSize <= loops.size(); at += kSamplerLoopSize) {
        // Each loop starts with a cue point id and ends with its fraction
        // and play count.
        info.loops.push_back({Get32(loops, at + 4), Get32(loops, at + 8), Get32(loops, at + 12),
                              Get32(loops, at + 20)});
    }
}

template <class Source> CWaveReader::Info Walk(Source& source, CWaveReader::Stop stop) {
    CWaveReader::Info info;
    const qint64 length = source.Length();
    const QByteArray riff = source.ReadAt(0, kRiffHeaderSize);
    if (riff.size() != kRiffHeaderSize || !riff.startsWith("RIFF")) {
        return info;
    }
    info.riff = true;
    info.wave = QByteArrayView(riff).sliced(8, 4) == QByteArrayView("WAVE");
    // The walk goes by the file's length, not the RIFF size, which programs
    // that stream their output often leave wrong.
    qint64 at = kRiffHeaderSize;
    while (at + kChunkHeaderSize <= length) {
        const QByteArray header = source.ReadAt(at, kChunkHeaderSize);
        if (header.size() != kChunkHeaderSize) {
            info.truncated = true;
            return info;
        }
        const qint64 size = Get32(header, 4);
        const qint64 body = at + kChunkHeaderSize;
        const qint64 held = qMin(size, length - body);
        if (held < size) {
            info.truncated = true;
        }
        const QByteArrayView id = QByteArrayView(header).first(4);
        if (id == QByteArrayView("fmt ") && !info.hasFormat) {
            ReadFormat(source.ReadAt(body, qMin(held, kExtensibleFormatSize)), info);
        } else if (id == QByteArrayView("data") && !info.hasData) {
            info.hasData = true;
            info.dataOffset = body;
            info.dataClaimed = size;
            info.dataHeld = held;
            if (stop == CWaveReader::Stop::AtData) {
                return info;
            }
        } else if (id == QByteArrayView("smpl") && info.loops.empty()) {
            ReadLoops(source, body, held, info);
        }
        // A chunk of odd size is followed by a pad byte.
        at = body + size + (size & 1);
    }
    if (at < length) {
        info.truncated = true;
    }
    return info;
}

} // namespace

CWaveReader::Info CWaveReader::Read(CFile& file, Stop stop) {
    FileSource source(file);
    return Walk(source, stop);
}

CWaveReader::Info CWaveReader::Read(QIODevice& device, Stop stop) {
    DeviceSource source(device);
    return Walk(source, stop);
}

CWaveReader::Info CWaveReader::Read(const QByteArray& bytes, Stop stop) {
    BytesSource source(bytes);
    return Walk(source, stop);
}

CWaveReader::Info CWaveReader::Read(QByteArrayView head, qint64 length,
                                    const std::function<QByteArray(qint64, qint64)>& readAt,
                                    Stop stop) {
    HeadSource source(head, length, readAt);
    return Walk(source, stop);
}

CWaveReader::FileInfo CWaveReader::ReadFile(const QString& path) {
    FileInfo result;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    struct Descriptor {
        int fd;
        ~Descriptor() { ::close(fd); }
    } const descriptor{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        result.error = errno;
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.status = FileInfo::Status::NotRegular;
        return result;
    }
    const auto readAt = [fd](qint64 at, qint64 count) {
        QByteArray bytes(static_cast<qsizetype>(count), '\0');
        ssize_t got = -1;
        do {
            got = ::pread(fd, bytes.data(), static_cast<size_t>(count), static_cast<off_t>(at));
        } while (got < 0 && errno == EINTR);
        bytes.truncate(got > 0 ? static_cast<qsizetype>(got) : 0);
        return bytes;
    };
    errno = 0;
    const QByteArray head = readAt(0, kFileHead);
    if (head.isEmpty() && errno != 0) {
        result.error = errno;
        return result;
    }
    const qint64 length = status.st_size;
    result.status = FileInfo::Status::Read;
    result.info = Read(head, length, readAt, Stop::AtData);
    if (result.info.hasData && !result.info.hasFormat) {
        result.info = Read(head, length, readAt, Stop::AtEnd);
    }
    return result;
}

qint64 CWaveReader::DurationMs(QIODevice& device) {
    const Info info = Read(device);
    if (!info.wave || !info.hasFormat || !info.hasData) {
        return -1;
    }
    const qint64 frameBytes =
        qint64{info.format.channels} * ((qint64{info.format.bitsPerSample} + 7) / 8);
    const qint64 bytesPerSecond = qint64{info.format.samplesPerSec} * frameBytes;
    if (bytesPerSecond == 0) {
        return -1;
    }
    return info.dataHeld * 1000 / bytesPerSecond;
}
