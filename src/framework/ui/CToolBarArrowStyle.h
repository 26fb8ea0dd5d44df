#pragma once

#include <QProxyStyle>

// The application's style with the arrows of a toolbar's extension button
// read straight from the style's own PNG files. The style would read them
// through QImageReader's format probe, which loads every image-format plugin
// of the system first; every toolbar makes one such button when it is built,
// so that probe would be paid at every start for an arrow that is drawn only
// when the window is too narrow for the bar. Everything else is the style it
// wraps, named as QStyleFactory knows it.
class CToolBarArrowStyle final : public QProxyStyle {
public:
    explicit CToolBarArrowStyle(const QString& baseKey);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // The same arrow as the wrapped style gives (every size it has, as the
    // style would read it), or a null icon when the files are not there.
    static QIcon ExtensionArrow(StandardPixmap standardIcon, bool rightToLeft);
};
