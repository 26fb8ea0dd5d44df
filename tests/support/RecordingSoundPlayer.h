#pragma once

#include "framework/ui/CSoundPlayer.h"

#include <QList>
#include <QString>

// Records every sound asked for while it lives, and plays none.
class RecordingSoundPlayer final : public CSoundPlayer {
public:
    struct Sound {
        QString path;
        unsigned flags;
    };

    RecordingSoundPlayer();
    bool Play(const QString& path, unsigned flags) override;

    QList<Sound> sounds;

private:
    CSeam<CSoundPlayer>::Guard m_guard;
};
