#include "framework/core/CPlural.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

// Counted texts read right in English without a translation, and take a
// translation's own forms when one is loaded.

namespace {

constexpr char kContext[] = "CPluralTest";

TEST(Plural, EnglishFormsWithoutATranslation) {
    const char* source = QT_TRANSLATE_N_NOOP("CPluralTest", "%n channel(s)");
    EXPECT_EQ(CPlural::Text(kContext, source, 1), QStringLiteral("1 channel"));
    EXPECT_EQ(CPlural::Text(kContext, source, 2), QStringLiteral("2 channels"));
    EXPECT_EQ(CPlural::Text(kContext, source, 0), QStringLiteral("0 channels"));
    EXPECT_EQ(CPlural::Text(kContext, "%n file(s) kept (s)ome data: %n", 1),
              QStringLiteral("1 file kept ome data: 1"));
}

// Gives two forms of its own, as a language whose plural starts at five would.
class FormsTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int n) const override {
        if (qstrcmp(context, kContext) != 0 || qstrcmp(source, "%n channel(s)") != 0) {
            return QString();
        }
        return (n < 5 ? QStringLiteral("%1 kanaly") : QStringLiteral("%1 kanalow")).arg(n);
    }
};

TEST(Plural, TakesTheFormsOfALoadedTranslation) {
    // Translators are installed into an application.
    int argc = 1;
    char name[] = "test_plural";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    FormsTranslator translator;
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(CPlural::Text(kContext, "%n channel(s)", 1), QStringLiteral("1 kanaly"));
    EXPECT_EQ(CPlural::Text(kContext, "%n channel(s)", 7), QStringLiteral("7 kanalow"));
    // A text the translation lacks stays English.
    EXPECT_EQ(CPlural::Text(kContext, "%n event(s)", 1), QStringLiteral("1 event"));
    QCoreApplication::removeTranslator(&translator);
}

} // namespace
