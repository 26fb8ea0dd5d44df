#pragma once

#include "framework/ui/CSoundPlayer.h"

#include <QList>
#include <QString>

// Records every sound asked for while it lives, and plays none. An
// asynchronous sound counts as playing until another is asked for (an empty
// path stops it) or the test ends it with Finish.
class RecordingSoundPlayer final : public CSoundPlayer {
public:
    struct Sound {
        QString path;
        unsigned flags;
    };

    RecordingSoundPlayer();
    bool Play(const QString& path, unsigned flags) override;
    bool IsPlaying() const override { return m_bPlaying; }
    // The asynchronous sound comes to its end, as a real one would.
    void Finish();

    QList<Sound> sounds;

private:
    bool m_bPlaying = false;
    CSeam<CSoundPlayer>::Guard m_guard;
};
