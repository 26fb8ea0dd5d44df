#pragma once

#include "CSoundPlayer.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>

class ISoundEffect;
class ISoundOutput;
class QIODevice;
class QTimer;
class QUrl;

// Plays wave files through the playback module (QSoundEffect). QSoundEffect says a sound has
// stopped when the audio device has taken its last bytes, which for a short sound is long before it
// is heard, and without a sound server it never says so; so a synchronous sound also waits for its
// length as the duration reader gives it, and waits no longer than that length and a latency
// allowance. An asynchronous sound counts as playing by the same rule.
class CQtSoundPlayer final : public CSoundPlayer {
public:
    CQtSoundPlayer();
    ~CQtSoundPlayer() override;

    bool Play(const QString& path, unsigned flags) override;
    bool IsPlaying() const override;

    // How much longer than its length a synchronous sound may take to be
    // reported as finished before the wait gives up.
    static constexpr int kLatencyAllowanceMs = 3000;

private:
    void StopAsync();
    // Starts source, durationMs long, and returns at once.
    void PlayAsync(const ISoundOutput& output, const QUrl& source, qint64 durationMs);
    // Decides whether the asynchronous sound has ended, or when to ask again.
    void CheckAsync();

    std::unique_ptr<ISoundEffect> m_pAsync;
    // Asks CheckAsync again. Parented to the application, which deletes it
    // if it outlives this.
    QPointer<QTimer> m_pAsyncTimer;
    QElapsedTimer m_asyncClock;
    qint64 m_nAsyncDurationMs = 0;
    bool m_bAsyncPlaying = false;
};
