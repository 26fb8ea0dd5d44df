#pragma once

#include "CSoundPlayer.h"

#include <QPointer>

class QIODevice;
class QSoundEffect;

// Plays wave files with QSoundEffect. QSoundEffect says a sound has stopped
// when the audio device has taken its last bytes, which for a short sound is
// long before it is heard, and without a sound server it never says so; so a
// synchronous sound also waits for its length as the file's header gives it,
// and waits no longer than that length and a latency allowance.
class CQtSoundPlayer final : public CSoundPlayer {
public:
    CQtSoundPlayer();
    ~CQtSoundPlayer() override;

    bool Play(const QString& path, unsigned flags) override;

    // Playing time in milliseconds of the RIFF WAVE file open in device,
    // from its "fmt " and "data" chunks (the data cut to what the file
    // holds); -1 when it is not such a file.
    static qint64 DurationMs(QIODevice& device);

    // How much longer than its length a synchronous sound may take to be
    // reported as finished before the wait gives up.
    static constexpr int kLatencyAllowanceMs = 3000;

private:
    void StopAsync();

    // Parented to the application, which deletes it if it outlives this.
    QPointer<QSoundEffect> m_pAsync;
};
