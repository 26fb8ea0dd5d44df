#include "QtPrinters.h"
#include "RecordingPromptSink.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CPromptSink.h"

#include <gtest/gtest.h>

TEST(CPromptSinkFormat, PrefixFollowsTheIcon) {
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("File is truncated"), MB_OK | MB_ICONHAND),
              QStringLiteral("error: File is truncated"));
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("x"), MB_ICONEXCLAMATION),
              QStringLiteral("warning: x"));
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("x"), MB_OK), QStringLiteral("info: x"));
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("x"), MB_YESNO | MB_ICONQUESTION),
              QStringLiteral("info: x"));
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("x"), MB_ICONINFORMATION),
              QStringLiteral("info: x"));
}

TEST(CPromptSinkFormat, EveryLineIsASentenceOfItsOwn) {
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("End of file reached.\nTruncating sample "
                                                     "/b/a.wav"),
                                      MB_ICONEXCLAMATION),
              QStringLiteral("warning: End of file reached. Truncating sample /b/a.wav"));
    // A cause without a full stop does not run into the next sentence.
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("Access to /b/x.wav was denied.\nPermission "
                                                     "denied\n8 wave files were not written."),
                                      MB_ICONHAND),
              QStringLiteral("error: Access to /b/x.wav was denied. Permission denied. 8 wave "
                             "files were not written."));
    EXPECT_EQ(CPromptSink::FormatLine(QStringLiteral("a\r\nb?\rc:\n\nd"), MB_ICONHAND),
              QStringLiteral("error: a. b? c: d"));
}

TEST(CPromptSinkRouting, GuardsNestAndPutThePreviousSinkBack) {
    RecordingPromptSink outer;
    AfxMessageBox(QStringLiteral("one"));
    {
        RecordingPromptSink inner;
        inner.answers = {IDNO};
        EXPECT_EQ(AfxMessageBox(QStringLiteral("two"), MB_YESNO), IDNO);
        EXPECT_EQ(inner.Texts(), QStringList{QStringLiteral("two")});
    }
    AfxMessageBox(QStringLiteral("three"), MB_ICONHAND);
    EXPECT_EQ(outer.Texts(), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    EXPECT_EQ(outer.prompts.last().type, MB_ICONHAND);
}

// Without anyone to ask, the answer must be the one that loses nothing.
TEST(CPromptSinkRouting, StandardErrorSinkAnswersTheCautiousWay) {
    CSeam<CPromptSink>::Guard none(nullptr);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Save changes?"), MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Go on?"), MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Overwrite?"), MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Replace?"), MB_YESTOALLNOCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Done")), IDOK);
}
