#include "DialogDriver.h"

#include "framework/ui/CToolBarArrowStyle.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Every size and mode of a, pixel for pixel, in b.
void expectSameIcon(const QIcon& a, const QIcon& b) {
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.availableSizes(), b.availableSizes());
    for (const QSize& size : a.availableSizes()) {
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) {
            EXPECT_EQ(a.pixmap(size, 1.0, mode).toImage(), b.pixmap(size, 1.0, mode).toImage())
                << size.width() << "x" << size.height() << " mode " << mode;
        }
    }
}

class ToolBarArrowStyle : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }
};

TEST_F(ToolBarArrowStyle, ArrowsAreTheWrappedStylesOwnInEitherDirection) {
    for (const QString& key : {QStringLiteral("fusion"), QStringLiteral("windows")}) {
        std::unique_ptr<QStyle> plain(QStyleFactory::create(key));
        ASSERT_NE(plain, nullptr) << qPrintable(key);
        CToolBarArrowStyle wrapped(key);
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOption option;
            option.direction = direction;
            for (const QStyle::StandardPixmap arrow : {QStyle::SP_ToolBarHorizontalExtensionButton,
                                                       QStyle::SP_ToolBarVerticalExtensionButton}) {
                SCOPED_TRACE(qPrintable(key + QString::number(direction) + QString::number(arrow)));
                expectSameIcon(plain->standardIcon(arrow, &option),
                               wrapped.standardIcon(arrow, &option));
            }
        }
        // The rest is the wrapped style's.
        expectSameIcon(plain->standardIcon(QStyle::SP_DialogOkButton),
                       wrapped.standardIcon(QStyle::SP_DialogOkButton));
        EXPECT_EQ(wrapped.pixelMetric(QStyle::PM_ToolBarExtensionExtent),
                  plain->pixelMetric(QStyle::PM_ToolBarExtensionExtent));
    }
}

TEST_F(ToolBarArrowStyle, ABarTooNarrowForItsButtonsShowsTheArrow) {
    // As the program has it: the style is the application's before any bar
    // is made.
    QApplication::setStyle(new CToolBarArrowStyle(QStringLiteral("fusion")));
    QToolBar bar;
    for (int i = 0; i < 20; ++i) {
        bar.addAction(QStringLiteral("Command %1").arg(i));
    }
    bar.resize(120, 40);
    bar.show();
    QApplication::processEvents();
    auto* extension = bar.findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(extension, nullptr);
    EXPECT_TRUE(extension->isVisible());
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("fusion")));
    expectSameIcon(plain->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton),
                   extension->icon());
}

} // namespace
