#include "CQtSoundPlayer.h"

#include "PlaySound.h"

#include "framework/core/CPathCase.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <cstring>

namespace {

quint32 Read32(const char* bytes) {
    quint32 value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

quint16 Read16(const char* bytes) {
    quint16 value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

} // namespace

CQtSoundPlayer::CQtSoundPlayer() = default;

CQtSoundPlayer::~CQtSoundPlayer() {
    StopAsync();
}

void CQtSoundPlayer::StopAsync() {
    delete m_pAsync.data();
}

qint64 CQtSoundPlayer::DurationMs(QIODevice& device) {
    const qint64 size = device.size();
    if (!device.seek(0)) {
        return -1;
    }
    const QByteArray riff = device.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        return -1;
    }
    qint64 pos = 12;
    quint32 rate = 0;
    quint32 frameBytes = 0;
    bool haveFormat = false;
    while (pos + 8 <= size) {
        if (!device.seek(pos)) {
            return -1;
        }
        const QByteArray header = device.read(8);
        if (header.size() != 8) {
            return -1;
        }
        const qint64 chunkSize = Read32(header.constData() + 4);
        const qint64 body = pos + 8;
        if (header.startsWith("fmt ")) {
            const QByteArray format = device.read(16);
            if (format.size() != 16) {
                return -1;
            }
            const quint16 channels = Read16(format.constData() + 2);
            rate = Read32(format.constData() + 4);
            const quint16 bits = Read16(format.constData() + 14);
            frameBytes = static_cast<quint32>(channels) * ((bits + 7U) / 8U);
            haveFormat = true;
        } else if (header.startsWith("data")) {
            if (!haveFormat || rate == 0 || frameBytes == 0) {
                return -1;
            }
            const qint64 dataSize = qMin(chunkSize, size - body);
            return dataSize * 1000 / (static_cast<qint64>(rate) * frameBytes);
        }
        // Chunks are padded to an even length.
        pos = body + chunkSize + (chunkSize & 1);
    }
    return -1;
}

bool CQtSoundPlayer::Play(const QString& path, unsigned flags) {
    StopAsync();
    if (path.isEmpty()) {
        return true;
    }
    // The fallback of the platform's player for a sound it cannot play.
    const auto fail = [flags] {
        if ((flags & SND_NODEFAULT) == 0U) {
            QApplication::beep();
        }
        return false;
    };
    const QString resolved = CPathCase::ResolveExisting(QFileInfo(path).absoluteFilePath());
    if (resolved.isEmpty()) {
        return fail();
    }
    qint64 durationMs = -1;
    {
        QFile file(resolved);
        if (file.open(QIODevice::ReadOnly)) {
            durationMs = DurationMs(file);
        }
    }
    // Without an audio output nobody would hear it, and a synchronous wait
    // would only freeze the window.
    if (durationMs < 0 || QMediaDevices::audioOutputs().isEmpty()) {
        return fail();
    }
    const QUrl source = QUrl::fromLocalFile(resolved);

    if ((flags & SND_ASYNC) != 0U) {
        m_pAsync = new QSoundEffect(qApp);
        m_pAsync->setSource(source);
        m_pAsync->play();
        return true;
    }

    QSoundEffect effect;
    QEventLoop loop;
    QElapsedTimer clock;
    QTimer lengthTimer;
    lengthTimer.setSingleShot(true);
    lengthTimer.setTimerType(Qt::PreciseTimer);
    const qint64 deadlineMs = durationMs + kLatencyAllowanceMs;
    bool ended = false;
    const auto end = [&] {
        ended = true;
        loop.quit();
    };
    const auto check = [&] {
        if (!clock.isValid()) {
            return;
        }
        const qint64 elapsed = clock.elapsed();
        if (effect.status() == QSoundEffect::Error || elapsed >= deadlineMs) {
            end();
        } else if (elapsed < durationMs) {
            lengthTimer.start(static_cast<int>(durationMs - elapsed));
        } else if (!effect.isPlaying()) {
            end();
        } else {
            lengthTimer.start(static_cast<int>(deadlineMs - elapsed));
        }
    };
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, check);
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, check);
    QObject::connect(&lengthTimer, &QTimer::timeout, &loop, check);
    effect.setSource(source);
    effect.play();
    clock.start();
    check();
    if (!ended) {
        // Like the platform's synchronous sound: the window takes no input
        // until the sound has ended.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return effect.status() != QSoundEffect::Error;
}
