#include "QtPrinters.h"

#include "framework/core/CCaseFold.h"

#include <gtest/gtest.h>

// Folded names are hash keys next to names Qt folded itself (a folder's
// first entry by folded name, say), so the two must never differ.
TEST(CCaseFold, GivesWhatQtGivesForAsciiLatin1AndBeyond) {
    const QString texts[] = {
        QString(),
        QStringLiteral(""),
        QStringLiteral("engine.wav"),
        QStringLiteral("ENGINE.WAV"),
        QStringLiteral("Res00001.wav"),
        QStringLiteral("a@[`{Z"), // the characters either side of the letters
        QStringLiteral("\u00c9T\u00c9.WAV"),
        QStringLiteral("Stra\u00dfe"),
        QStringLiteral("\u00b5s.wav"), // micro sign folds to Greek mu
        QStringLiteral("\u0130stanbul"),
        QStringLiteral("\u212a.wav"), // Kelvin sign folds to an ASCII k
        QStringLiteral("ab\U0001041Ecd"),
    };
    for (const QString& text : texts) {
        EXPECT_EQ(CCaseFold::Fold(text), text.toCaseFolded()) << text.toStdString();
    }
}

TEST(CCaseFold, LeavesTheGivenStringAsItWas) {
    const QString text = QStringLiteral("Horn.WAV");
    const QString folded = CCaseFold::Fold(text);
    EXPECT_EQ(folded, QStringLiteral("horn.wav"));
    EXPECT_EQ(text, QStringLiteral("Horn.WAV"));
}
