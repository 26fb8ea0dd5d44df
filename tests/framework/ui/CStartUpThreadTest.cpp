#include "framework/ui/CStartUpThread.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>

#include <gtest/gtest.h>

// The generic desktop's default font is named by the family fontconfig
// stands in for it: what is shown must stay the very font Qt shows for the
// alias. A desktop's own font is left alone.
TEST(StartUpThread, TheGenericFontIsNamedByTheFontShownForIt) {
    CStartUpThread startUp;
    int argc = 1;
    char name[] = "kantel";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    startUp.Wait();

    const QFont alias(QString::fromLatin1(CStartUpThread::kGenericFamily), 9);
    const QFontInfo shown(alias);
    QApplication::setFont(alias);
    startUp.NameApplicationFont();
    const QFont named = QApplication::font();
    EXPECT_NE(named.family(), alias.family());
    EXPECT_EQ(named.family(), shown.family());
    const QFontInfo namedShown(named);
    EXPECT_EQ(namedShown.family(), shown.family());
    EXPECT_EQ(namedShown.styleName(), shown.styleName());
    EXPECT_EQ(namedShown.pointSizeF(), shown.pointSizeF());

    const QFont desktop(shown.family(), 11);
    QApplication::setFont(desktop);
    startUp.NameApplicationFont();
    EXPECT_EQ(QApplication::font(), desktop);
    // Asked again for the alias, with the answer already taken: no change.
    QApplication::setFont(alias);
    startUp.NameApplicationFont();
    EXPECT_EQ(QApplication::font().family(), alias.family());
}
