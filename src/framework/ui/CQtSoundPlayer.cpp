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

namespace {
CQtSoundPlayer::DurationReader g_durationReader = nullptr;
} // namespace

CQtSoundPlayer::CQtSoundPlayer() = default;

CQtSoundPlayer::~CQtSoundPlayer() {
    StopAsync();
}

void CQtSoundPlayer::StopAsync() {
    delete m_pAsync.data();
}

void CQtSoundPlayer::SetDurationReader(DurationReader reader) {
    g_durationReader = reader;
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
        if (g_durationReader != nullptr && file.open(QIODevice::ReadOnly)) {
            durationMs = g_durationReader(file);
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
