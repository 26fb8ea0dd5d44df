#include "CDeferredIconEngine.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

CDeferredIconEngine::CDeferredIconEngine(Maker make) : m_make(std::move(make)) {}

CDeferredIconEngine::~CDeferredIconEngine() = default;

QIcon CDeferredIconEngine::Icon(const QString& fileName) {
    if (fileName.isEmpty()) {
        return QIcon();
    }
    return Made([fileName] { return QIcon(fileName); });
}

QIcon CDeferredIconEngine::Made(Maker make) {
    return QIcon(new CDeferredIconEngine(std::move(make)));
}

const QIcon& CDeferredIconEngine::Loaded() {
    if (m_pIcon == nullptr) {
        m_pIcon = std::make_unique<QIcon>(m_make());
    }
    return *m_pIcon;
}

void CDeferredIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                                QIcon::State state) {
    Loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize CDeferredIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Loaded().actualSize(size, mode, state);
}

// The icon asks its engine in device pixels: the loaded icon is asked at a
// ratio of 1, so that it does not scale a second time.
QPixmap CDeferredIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Loaded().pixmap(size, 1.0, mode, state);
}

QPixmap CDeferredIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                          qreal scale) {
    QPixmap result = Loaded().pixmap(size, 1.0, mode, state);
    result.setDevicePixelRatio(scale);
    return result;
}

QList<QSize> CDeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return Loaded().availableSizes(mode, state);
}

QString CDeferredIconEngine::key() const {
    return QStringLiteral("CDeferredIconEngine");
}

QIconEngine* CDeferredIconEngine::clone() const {
    auto* copy = new CDeferredIconEngine(m_make);
    if (m_pIcon != nullptr) {
        copy->m_pIcon = std::make_unique<QIcon>(*m_pIcon);
    }
    return copy;
}

bool CDeferredIconEngine::isNull() {
    return !m_make;
}
