#pragma once

#include <QIconEngine>
#include <QString>

#include <functional>
#include <memory>

class QIcon;

// An icon read from its file, or made, only when it is first drawn or
// measured. A toolbar's drawings then cost nothing (neither the SVG plugin
// nor parsing them) until the toolbar paints, which is after the window has
// shown, and an icon that is never shown is never made.
class CDeferredIconEngine final : public QIconEngine {
public:
    using Maker = std::function<QIcon()>;

    explicit CDeferredIconEngine(Maker make);
    ~CDeferredIconEngine() override;

    // An icon of the file at fileName that reads it at first use.
    static QIcon Icon(const QString& fileName);
    // An icon that make makes at first use. Unmade, it counts as there.
    static QIcon Made(Maker make);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;
    // Unmade, the icon counts as there: asking must not make it.
    bool isNull() override;

private:
    const QIcon& Loaded();

    Maker m_make;
    std::unique_ptr<QIcon> m_pIcon;
};
