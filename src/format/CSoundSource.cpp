#include "CSoundSource.h"

#include "CPcmSamples.h"
#include "CSndfileLibrary.h"
#include "CWaveReader.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// libsndfile reads through these instead of the descriptor itself: when it
// refuses a file opened with sf_open_fd it closes the descriptor whatever it
// was told, and the number is then reused by the next file opened and closed
// once more by whoever owned it first.
struct DescriptorReader {
    int fd = -1;
    sf_count_t position = 0;
    sf_count_t length = 0;
};

sf_count_t readerLength(void* data) {
    return static_cast<DescriptorReader*>(data)->length;
}

sf_count_t readerSeek(sf_count_t offset, int whence, void* data) {
    auto* r = static_cast<DescriptorReader*>(data);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? r->position : r->length;
    if (base + offset < 0) {
        return -1;
    }
    r->position = base + offset;
    return r->position;
}

sf_count_t readerRead(void* buffer, sf_count_t count, void* data) {
    auto* r = static_cast<DescriptorReader*>(data);
    sf_count_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(r->fd, static_cast<char*>(buffer) + done,
                                    static_cast<size_t>(count - done), r->position);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += got;
        r->position += got;
    }
    return done;
}

sf_count_t readerWrite(const void* /*buffer*/, sf_count_t /*count*/, void* /*data*/) {
    return 0;
}

sf_count_t readerTell(void* data) {
    return static_cast<DescriptorReader*>(data)->position;
}

// libsndfile decodes MP3 with libmpg123, which writes its own complaints
// about a damaged or cut stream to standard error, and libsndfile gives no
// way to tell it not to. While an MP3 is opened, read or closed, standard
// error goes to /dev/null instead; what went wrong reaches the user as our
// own message. Whatever other threads write to it meanwhile is lost too, so
// only MP3s are read this way.
class QuietStandardError {
public:
    explicit QuietStandardError(bool quiet) : m_bQuiet(quiet) {
        if (!m_bQuiet) {
            return;
        }
        const std::lock_guard<std::mutex> hold(Mutex());
        if (s_nUsers++ == 0) {
            s_nSaved = ::dup(STDERR_FILENO);
            const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
            if (s_nSaved >= 0 && null >= 0) {
                ::dup2(null, STDERR_FILENO);
            }
            if (null >= 0) {
                ::close(null);
            }
        }
    }
    ~QuietStandardError() {
        if (!m_bQuiet) {
            return;
        }
        const std::lock_guard<std::mutex> hold(Mutex());
        if (--s_nUsers == 0 && s_nSaved >= 0) {
            ::dup2(s_nSaved, STDERR_FILENO);
            ::close(s_nSaved);
            s_nSaved = -1;
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static inline int s_nUsers = 0;
    static inline int s_nSaved = -1;
    bool m_bQuiet;
};

// Whether the file begins as libsndfile recognises an MP3: an ID3v2 tag or
// an MPEG audio frame's sync bits.
bool looksLikeMpeg(int fd) {
    unsigned char head[3] = {};
    if (::pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) {
        return false;
    }
    return (head[0] == 'I' && head[1] == 'D' && head[2] == '3') ||
           (head[0] == 0xFF && (head[1] & 0xE0U) == 0xE0U);
}

} // namespace

struct CSoundSource::Handle {
    // What file is opened with, and closed with.
    const CSndfileLibrary* sndfile = nullptr;
    SNDFILE* file = nullptr;
    int fd = -1;
    DescriptorReader reader;
    CFileIdentity opened;
    SF_VIRTUAL_IO io{readerLength, readerSeek, readerRead, readerWrite, readerTell};
    // Integer PCM in a wave file that libsndfile will not take (an odd form
    // type, say), read straight from its data chunk.
    CFile raw;
    // An MP3, whose decoder is kept quiet (see QuietStandardError).
    bool mpeg = false;
    qint64 rawLeft = 0;
    int rawBytes = 0;
    QByteArray rawBuffer;
    Handle() = default;
    // For a file libsndfile is to read from descriptor.
    Handle(int descriptor, const CSndfileLibrary& library) : sndfile(&library), fd(descriptor) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (file != nullptr) {
            const QuietStandardError quiet(mpeg);
            sndfile->sf_close(file);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

namespace {

FormatError failure(CSoundSource::Use use, FormatError::Kind kind, const QString& path,
                    const QString& why) {
    return {kind, use == CSoundSource::Use::Measure
                      ? QCoreApplication::translate("CSoundSource",
                                                    "The loudness of %1 cannot be measured: %2")
                            .arg(path, why)
                      : QCoreApplication::translate("CSoundSource", "%1 cannot be imported: %2")
                            .arg(path, why)};
}

int bitsOf(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 8;
    case SF_FORMAT_PCM_16:
        return 16;
    case SF_FORMAT_PCM_24:
        return 24;
    case SF_FORMAT_PCM_32:
        return 32;
    default:
        return 0;
    }
}

// What users call the kind of file; the decoder's own name for kinds
// without a common one.
QString kindOf(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
        return QStringLiteral("WAV");
    case SF_FORMAT_AIFF:
        return QStringLiteral("AIFF");
    case SF_FORMAT_FLAC:
        return QStringLiteral("FLAC");
    case SF_FORMAT_MPEG:
        return QStringLiteral("MP3");
    case SF_FORMAT_OGG:
        return (format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS ? QStringLiteral("Opus")
                                                              : QStringLiteral("Ogg Vorbis");
    default:
        return QString();
    }
}

QString formatName(const CSndfileLibrary& sndfile, int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sndfile.sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) != 0 ||
        info.name == nullptr) {
        return QString();
    }
    return QString::fromUtf8(info.name);
}

// The loop of a wave file's "smpl" chunk, read by our own chunk walker so a
// wave file's loop means the same here as everywhere else in the program.
std::optional<CSoundSource::Loop> waveLoop(const QString& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        return std::nullopt;
    }
    try {
        const CWaveReader::Info info = CWaveReader::Read(file);
        if (!info.wave || info.loops.empty()) {
            return std::nullopt;
        }
        const CWaveReader::Loop& loop = info.loops.front();
        if (loop.end < loop.start) {
            return std::nullopt;
        }
        // The end is the loop's last frame.
        return CSoundSource::Loop{loop.start, qint64{loop.end} - loop.start + 1};
    } catch (const CFileException&) {
        return std::nullopt;
    }
}

// The frames a wave file's data chunk claims, by our own chunk walker; 0
// where it cannot tell.
qint64 waveClaimedFrames(const QString& path, int channels) {
    CFile file;
    if (channels < 1 || !file.Open(path, CFile::modeRead)) {
        return 0;
    }
    try {
        const CWaveReader::Info info = CWaveReader::Read(file, CWaveReader::Stop::AtData);
        const qint64 frameBytes = qint64{info.format.blockAlign};
        return info.wave && info.hasData && frameBytes > 0 ? info.dataClaimed / frameBytes : 0;
    } catch (const CFileException&) {
        return 0;
    }
}

std::optional<CSoundSource::Loop> instrumentLoop(const CSndfileLibrary& sndfile, SNDFILE* file) {
    SF_INSTRUMENT instrument{};
    if (sndfile.sf_command(file, SFC_GET_INSTRUMENT, &instrument, sizeof(instrument)) != SF_TRUE ||
        instrument.loop_count < 1 || instrument.loops[0].mode == SF_LOOP_NONE ||
        instrument.loops[0].end <= instrument.loops[0].start) {
        return std::nullopt;
    }
    // libsndfile gives the end of an AIFF loop as the frame after it.
    return CSoundSource::Loop{instrument.loops[0].start,
                              qint64{instrument.loops[0].end} - instrument.loops[0].start};
}

} // namespace

CResult<CSoundSource> CSoundSource::OpenPcmWave(const QString& path, const QString& why, Use use) {
    auto handle = std::make_unique<Handle>();
    CWaveReader::Info info;
    try {
        if (handle->raw.Open(path, CFile::modeRead)) {
            info = CWaveReader::Read(handle->raw);
        }
    } catch (const CFileException&) {
        info = {};
    }
    const int bits = info.format.bitsPerSample;
    if (!info.hasFormat || !info.format.pcm || !info.hasData || info.format.channels < 1 ||
        info.format.samplesPerSec < 1 || (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        return failure(
            use, FormatError::Kind::NotABank, QFileInfo(path).absoluteFilePath(),
            QCoreApplication::translate("CSoundSource", "it is no sound file Kantel can read (%1).")
                .arg(why));
    }
    try {
        handle->raw.Seek(info.dataOffset, CFile::begin);
    } catch (const CFileException& e) {
        return failure(use, FormatError::Kind::Unreadable, QFileInfo(path).absoluteFilePath(),
                       e.GetErrorMessage());
    }
    handle->rawBytes = bits / 8;
    const qint64 frameBytes = qint64{handle->rawBytes} * info.format.channels;
    handle->rawLeft = info.dataHeld / frameBytes * frameBytes;
    if (handle->rawLeft == 0) {
        return failure(use, FormatError::Kind::NotABank, QFileInfo(path).absoluteFilePath(),
                       QCoreApplication::translate("CSoundSource", "it holds no sound."));
    }
    CSoundSource source(std::move(handle));
    source.m_info.channels = info.format.channels;
    source.m_info.samplesPerSec = static_cast<int>(info.format.samplesPerSec);
    source.m_info.frames = source.m_handle->rawLeft / frameBytes;
    source.m_info.claimedFrames = std::max(source.m_info.frames, info.dataClaimed / frameBytes);
    source.m_handle->opened = source.m_handle->raw.GetIdentity();
    source.m_info.bitsPerSample = bits;
    source.m_info.description =
        QCoreApplication::translate("CSoundSource", "WAV / %1 bit PCM").arg(bits);
    source.m_info.kind = QStringLiteral("WAV");
    source.m_loop = waveLoop(path);
    if (source.m_loop && source.m_loop->start >= source.m_info.frames) {
        source.m_loop.reset();
    }
    return source;
}

qint64 CSoundSource::ReadPcm(float* frames, qint64 count) {
    Handle& h = *m_handle;
    const qint64 frameBytes = qint64{h.rawBytes} * m_info.channels;
    const qint64 want = std::min(count * frameBytes, h.rawLeft);
    h.rawBuffer.resize(static_cast<qsizetype>(want));
    qint64 got = 0;
    try {
        got = h.raw.Read(h.rawBuffer.data(), want) / frameBytes * frameBytes;
    } catch (const CFileException&) {
        return 0;
    }
    h.rawLeft -= got;
    CPcmSamples::ToFloat(reinterpret_cast<const uchar*>(h.rawBuffer.constData()), h.rawBytes,
                         got / h.rawBytes, frames);
    return got / frameBytes;
}

CSoundSource::CSoundSource(std::unique_ptr<Handle> handle) : m_handle(std::move(handle)) {}
CSoundSource::CSoundSource(CSoundSource&&) noexcept = default;
CSoundSource& CSoundSource::operator=(CSoundSource&&) noexcept = default;
CSoundSource::~CSoundSource() = default;

CResult<CSoundSource> CSoundSource::Open(const QString& path, Use use) {
    const QString shown = QFileInfo(path).absoluteFilePath();
    // Opened without blocking, so a FIFO cannot hold us; only a regular file
    // is handed on.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return failure(use, FormatError::Kind::Unreadable, shown,
                       QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failure(use, FormatError::Kind::NotAllowed, shown,
                       QCoreApplication::translate("CSoundSource", "it is not a regular file."));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    SF_INFO info{};
    const CSndfileLibrary& sndfile = CSeam<CSndfileLibrary>::Current();
    auto handle = std::make_unique<Handle>(fd, sndfile);
    if (!sndfile.IsLoaded()) {
        return failure(use, FormatError::Kind::Unreadable, shown,
                       sndfile.Error() + QLatin1Char('.'));
    }
    handle->reader = {fd, 0, static_cast<sf_count_t>(st.st_size)};
    handle->opened = CFileIdentity::OfDescriptor(fd);
    handle->mpeg = looksLikeMpeg(fd);
    {
        const QuietStandardError quiet(handle->mpeg);
        handle->file = sndfile.sf_open_virtual(&handle->io, SFM_READ, &info, &handle->reader);
    }
    if (handle->file == nullptr && handle->mpeg) {
        // libsndfile's own text for this is about missing files and pipes.
        return failure(use, FormatError::Kind::NotABank, shown,
                       QCoreApplication::translate("CSoundSource",
                                                   "it looks like an MP3 file, but no sound could "
                                                   "be decoded from it; it may be cut short or "
                                                   "damaged."));
    }
    if (handle->file == nullptr) {
        const QString why = QString::fromUtf8(sndfile.sf_strerror(nullptr));
        return OpenPcmWave(path, why, use);
    }
    handle->mpeg = handle->mpeg || (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG;
    if (info.channels < 1 || info.samplerate < 1) {
        return failure(
            use, FormatError::Kind::NotABank, shown,
            QCoreApplication::translate("CSoundSource", "it gives no channels or no sample rate."));
    }
    if (info.frames == 0) {
        return failure(use, FormatError::Kind::NotABank, shown,
                       QCoreApplication::translate("CSoundSource", "it holds no sound."));
    }
    // Integer data is scaled to -1..1; float data is taken as it is and
    // clipped where it is turned into integers.
    sndfile.sf_command(handle->file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    CSoundSource source(std::move(handle));
    source.Describe(info.channels, info.samplerate, info.frames, info.format, path);
    return source;
}

void CSoundSource::Describe(int channels, int samplesPerSec, qint64 frames, int format,
                            const QString& path) {
    m_info.channels = channels;
    m_info.samplesPerSec = samplesPerSec;
    m_info.frames = frames;
    m_info.claimedFrames = frames;
    m_info.bitsPerSample = bitsOf(format);
    const CSndfileLibrary& sndfile = *m_handle->sndfile;
    const QString major = formatName(sndfile, format & SF_FORMAT_TYPEMASK);
    const QString minor = formatName(sndfile, format & SF_FORMAT_SUBMASK);
    m_info.description = minor.isEmpty() ? major : major + QStringLiteral(" / ") + minor;
    m_info.kind = kindOf(format);
    if (m_info.kind.isEmpty()) {
        m_info.kind = major;
    }
    const int type = format & SF_FORMAT_TYPEMASK;
    const bool wave = type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64;
    m_loop = wave ? waveLoop(path) : instrumentLoop(sndfile, m_handle->file);
    if (wave) {
        // libsndfile gives a data chunk that claims more than the file holds
        // as what it holds, without a word.
        m_info.claimedFrames = std::max<qint64>(frames, waveClaimedFrames(path, channels));
    }
    if (m_loop && m_loop->start >= frames) {
        m_loop.reset();
    }
}

bool CSoundSource::ChangedSinceOpened() const {
    if (!m_handle) {
        return false;
    }
    const CFileIdentity now = m_handle->file != nullptr ? CFileIdentity::OfDescriptor(m_handle->fd)
                                                        : m_handle->raw.GetIdentity();
    return now != m_handle->opened;
}

qint64 CSoundSource::Read(float* frames, qint64 count) {
    if (!m_handle || count <= 0) {
        return 0;
    }
    if (m_handle->file == nullptr) {
        return m_handle->rawBytes > 0 ? ReadPcm(frames, count) : 0;
    }
    const QuietStandardError quiet(m_handle->mpeg);
    return qMax<sf_count_t>(m_handle->sndfile->sf_readf_float(m_handle->file, frames, count), 0);
}
