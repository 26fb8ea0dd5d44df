#include "BankBuilder.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CBnmFormat.h"
#include "doc/CKantelDoc.h"

#include <gtest/gtest.h>

TEST(BankFormat, BankNumbersFollowTheResourceTableOffset) {
    EXPECT_EQ(CBnmFormat::BankFromResourceTableOffset(484), 1);
    EXPECT_EQ(CBnmFormat::BankFromResourceTableOffset(1732), 2);
    EXPECT_EQ(CBnmFormat::BankFromResourceTableOffset(100), -1);
}

TEST(BankFormat, DemoLikeBankOpens) {
    TestFolder folder;
    BankBuilder b;
    b.bank = 1;
    b.AddSample(12, QStringLiteral("engine.wav"), BankBuilder::Pattern(100, 1), true);
    folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build());
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(folder.FilePath(QStringLiteral("Bnk_1.bnm"))));
    EXPECT_EQ(doc.m_nBank, 1);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}
