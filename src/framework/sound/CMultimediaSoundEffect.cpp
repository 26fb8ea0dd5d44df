#include "CMultimediaSoundEffect.h"

#include <QCoreApplication>
#include <QSoundEffect>

CMultimediaSoundEffect::CMultimediaSoundEffect()
    : m_pEffect(new QSoundEffect(QCoreApplication::instance())) {}

CMultimediaSoundEffect::~CMultimediaSoundEffect() {
    if (m_pEffect != nullptr) {
        // Stopping may signal, and whoever listens may be gone already.
        m_pEffect->disconnect();
        delete m_pEffect.data();
    }
}

void CMultimediaSoundEffect::Play(const QUrl& source, std::function<void()> changed) {
    if (m_pEffect == nullptr) {
        return;
    }
    QObject::connect(m_pEffect, &QSoundEffect::playingChanged, m_pEffect, changed);
    QObject::connect(m_pEffect, &QSoundEffect::statusChanged, m_pEffect, changed);
    m_pEffect->setSource(source);
    m_pEffect->play();
}

bool CMultimediaSoundEffect::IsPlaying() const {
    return m_pEffect != nullptr && m_pEffect->isPlaying();
}

bool CMultimediaSoundEffect::Failed() const {
    return m_pEffect == nullptr || m_pEffect->status() == QSoundEffect::Error;
}
