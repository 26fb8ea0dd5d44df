#include "CQtSoundPlayer.h"

#include "CSoundModule.h"
#include "ISoundOutput.h"
#include "IWaveDuration.h"
#include "PlaySound.h"

#include "framework/core/CPathCase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace {

class CNoWaveDuration final : public IWaveDuration {
public:
    qint64 DurationMs(QIODevice& /*device*/) const override { return -1; }
};

} // namespace

template <> IWaveDuration& CSeam<IWaveDuration>::Default() {
    static CNoWaveDuration none;
    return none;
}

CQtSoundPlayer::CQtSoundPlayer() = default;

CQtSoundPlayer::~CQtSoundPlayer() {
    // Nobody is left to tell: the routers may be gone before a static player.
    m_bAsyncPlaying = false;
    StopAsync();
}

void CQtSoundPlayer::StopAsync() {
    m_pAsync.reset();
    delete m_pAsyncTimer.data();
    if (m_bAsyncPlaying) {
        m_bAsyncPlaying = false;
        PlayingChanged();
    }
}

bool CQtSoundPlayer::IsPlaying() const {
    return m_bAsyncPlaying && m_pAsync != nullptr;
}

void CQtSoundPlayer::CheckAsync() {
    if (!m_bAsyncPlaying || m_pAsync == nullptr || m_pAsyncTimer == nullptr) {
        return;
    }
    const qint64 elapsed = m_asyncClock.elapsed();
    const qint64 deadlineMs = m_nAsyncDurationMs + kLatencyAllowanceMs;
    if (m_pAsync->Failed() || elapsed >= deadlineMs ||
        (elapsed >= m_nAsyncDurationMs && !m_pAsync->IsPlaying())) {
        // The effect is left to the next sound: it may be the one whose
        // signal brought us here.
        m_bAsyncPlaying = false;
        PlayingChanged();
    } else if (elapsed < m_nAsyncDurationMs) {
        m_pAsyncTimer->start(static_cast<int>(m_nAsyncDurationMs - elapsed));
    } else {
        m_pAsyncTimer->start(static_cast<int>(deadlineMs - elapsed));
    }
}

namespace {

// The length of the wave file at path as the duration reader gives it; -1
// when it cannot be read or timed.
qint64 waveDurationMs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return CSeam<IWaveDuration>::Current().DurationMs(file);
}

// Plays source, durationMs long, and returns when it has ended; false when
// it could not be played.
bool playAndWait(const ISoundOutput& output, const QUrl& source, qint64 durationMs) {
    const std::unique_ptr<ISoundEffect> effect = output.NewEffect();
    QEventLoop loop;
    QElapsedTimer clock;
    QTimer lengthTimer;
    lengthTimer.setSingleShot(true);
    lengthTimer.setTimerType(Qt::PreciseTimer);
    const qint64 deadlineMs = durationMs + CQtSoundPlayer::kLatencyAllowanceMs;
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
        if (effect->Failed() || elapsed >= deadlineMs ||
            (elapsed >= durationMs && !effect->IsPlaying())) {
            end();
        } else if (elapsed < durationMs) {
            lengthTimer.start(static_cast<int>(durationMs - elapsed));
        } else {
            lengthTimer.start(static_cast<int>(deadlineMs - elapsed));
        }
    };
    QObject::connect(&lengthTimer, &QTimer::timeout, &loop, check);
    effect->Play(source, check);
    clock.start();
    check();
    if (!ended) {
        // Like the platform's synchronous sound: the window takes no input
        // until the sound has ended.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return !effect->Failed();
}

} // namespace

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
    const qint64 durationMs = waveDurationMs(resolved);
    if (durationMs < 0) {
        return fail();
    }
    // Without an audio output nobody would hear it, and a synchronous wait
    // would only freeze the window.
    const ISoundOutput* output = CSoundModule::Output();
    if (output == nullptr || !output->HasDevice()) {
        return fail();
    }
    const QUrl source = QUrl::fromLocalFile(resolved);
    if ((flags & SND_ASYNC) != 0U) {
        PlayAsync(*output, source, durationMs);
        return true;
    }
    return playAndWait(*output, source, durationMs);
}

void CQtSoundPlayer::PlayAsync(const ISoundOutput& output, const QUrl& source, qint64 durationMs) {
    m_pAsync = output.NewEffect();
    m_pAsyncTimer = new QTimer(qApp);
    m_pAsyncTimer->setSingleShot(true);
    m_pAsyncTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_pAsyncTimer, &QTimer::timeout, m_pAsyncTimer, [this] { CheckAsync(); });
    m_nAsyncDurationMs = durationMs;
    m_bAsyncPlaying = true;
    m_asyncClock.start();
    m_pAsync->Play(source, [this] { CheckAsync(); });
    PlayingChanged();
    CheckAsync();
}
