#include "DialogDriver.h"
#include "TestFolder.h"

#include "framework/ui/CDeferredIconEngine.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

const QByteArray kDrawing = QByteArrayLiteral(
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">)"
    R"(<rect x="2" y="3" width="9" height="11" fill="#0000ff" stroke="#000"/></svg>)");

TEST(DeferredIconEngine, ReadsTheFileAtFirstUseAndDrawsItAsItsOwnIconWould) {
    DialogDriver::EnsureApplication();
    TestFolder folder;
    const QString path = folder.FilePath(QStringLiteral("play.svg"));
    // Made before the file exists: nothing is read yet.
    const QIcon deferred = CDeferredIconEngine::Icon(path);
    EXPECT_FALSE(deferred.isNull());
    folder.Write(QStringLiteral("play.svg"), kDrawing);
    const QIcon direct(path);
    for (const qreal ratio : {1.0, 2.0}) {
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            const QPixmap expected = direct.pixmap(QSize(24, 24), ratio, mode);
            const QPixmap actual = deferred.pixmap(QSize(24, 24), ratio, mode);
            ASSERT_FALSE(expected.isNull());
            // Neither scaled twice nor at the wrong ratio.
            EXPECT_EQ(actual.size(), expected.size()) << ratio;
            EXPECT_EQ(actual.devicePixelRatio(), expected.devicePixelRatio()) << ratio;
            EXPECT_EQ(actual.toImage(), expected.toImage()) << ratio << " mode " << mode;
        }
    }
}

} // namespace
