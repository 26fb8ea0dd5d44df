#include "CToolBarArrowStyle.h"

#include "CDeferredIconEngine.h"
#include "IconResource.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QStyleOption>

namespace {

// Where Qt's common style keeps its arrows, and the sizes it has of each.
const char* const kFolder = ":/qt-project.org/styles/commonstyle/images/";
const char* const kHorizontal[] = {"toolbar-ext-h-8.png", "toolbar-ext-h-16.png",
                                   "toolbar-ext-h-32.png"};
const char* const kHorizontalRtl[] = {"toolbar-ext-h-rtl-8.png", "toolbar-ext-h-rtl-16.png",
                                      "toolbar-ext-h-rtl-32.png"};
const char* const kVertical[] = {"toolbar-ext-v-5.png", "toolbar-ext-v-10.png",
                                 "toolbar-ext-v-20.png"};

} // namespace

CToolBarArrowStyle::CToolBarArrowStyle(const QString& baseKey) : QProxyStyle(baseKey) {}

QIcon CToolBarArrowStyle::ExtensionArrow(StandardPixmap standardIcon, bool rightToLeft) {
    const char* const* files = standardIcon == SP_ToolBarVerticalExtensionButton ? kVertical
                               : rightToLeft                                     ? kHorizontalRtl
                                                                                 : kHorizontal;
    QIcon icon;
    for (int i = 0; i < 3; ++i) {
        if (!IconResource::AddImage(icon,
                                    QString::fromLatin1(kFolder) + QString::fromLatin1(files[i]))) {
            return QIcon();
        }
    }
    return icon;
}

QIcon CToolBarArrowStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                       const QWidget* widget) const {
    if (standardIcon == SP_ToolBarHorizontalExtensionButton ||
        standardIcon == SP_ToolBarVerticalExtensionButton) {
        const bool rightToLeft = option != nullptr ? option->direction == Qt::RightToLeft
                                                   : QGuiApplication::isRightToLeft();
        // Every toolbar asks for its arrow when it is made; most never show
        // it, so it is read when first drawn. Qt's own images are always
        // there.
        return CDeferredIconEngine::Made(
            [standardIcon, rightToLeft] { return ExtensionArrow(standardIcon, rightToLeft); });
    }
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}
