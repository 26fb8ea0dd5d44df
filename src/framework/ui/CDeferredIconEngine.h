#pragma once

#include <QIconEngine>
#include <QString>

#include <memory>

class QIcon;

// An icon read from its file only when it is first drawn or measured. A
// toolbar's drawings then cost nothing (neither the SVG plugin nor parsing
// them) until the toolbar paints, which is after the window has shown.
class CDeferredIconEngine final : public QIconEngine {
public:
    explicit CDeferredIconEngine(QString fileName);
    ~CDeferredIconEngine() override;

    // An icon of the file at fileName that reads it at first use.
    static QIcon Icon(const QString& fileName);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;
    // Unread, the icon counts as there: asking must not read it.
    bool isNull() override;

private:
    const QIcon& Loaded();

    QString m_strFileName;
    std::unique_ptr<QIcon> m_pIcon;
};
