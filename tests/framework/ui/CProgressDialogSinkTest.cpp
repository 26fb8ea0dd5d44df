#include "MdiTestKit.h"

#include "framework/ui/CProgressDialogSink.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <limits>

namespace {

class ProgressDialog : public MdiTest {};

TEST_F(ProgressDialog, ShowsOnlyAfterHalfASecondByDefault) {
    CProgressDialogSink sink;
    sink.Begin(QStringLiteral("Writing samples"), 3);
    ASSERT_NE(sink.GetDialog(), nullptr);
    EXPECT_EQ(sink.GetDialog()->minimumDuration(), 500);
    EXPECT_FALSE(sink.GetDialog()->isVisible());
    sink.End();
    EXPECT_EQ(sink.GetDialog(), nullptr);
}

TEST_F(ProgressDialog, LongWorkShowsLabelAndStepsOverTheMainFrame) {
    CProgressDialogSink sink(0);
    EXPECT_FALSE(CProgressDialogSink::IsBusy());
    sink.Begin(QStringLiteral("Writing samples"), 4);
    EXPECT_TRUE(CProgressDialogSink::IsBusy());
    sink.Step(1);
    sink.Step(2);
    QProgressDialog* pDialog = sink.GetDialog();
    ASSERT_NE(pDialog, nullptr);
    EXPECT_TRUE(pDialog->isVisible());
    EXPECT_EQ(pDialog->labelText(), QStringLiteral("Writing samples"));
    EXPECT_EQ(pDialog->maximum(), 4);
    EXPECT_EQ(pDialog->value(), 2);
    EXPECT_EQ(pDialog->parentWidget(), frame.data());
    EXPECT_EQ(pDialog->windowModality(), Qt::WindowModal);

    // Nested work keeps the one dialog.
    sink.Begin(QStringLiteral("Inner"), 100);
    sink.Step(50);
    EXPECT_EQ(sink.GetDialog(), pDialog);
    EXPECT_EQ(pDialog->value(), 2);
    sink.End();
    EXPECT_TRUE(CProgressDialogSink::IsBusy());
    sink.Step(9); // beyond the total
    EXPECT_EQ(pDialog->value(), 4);
    sink.End();
    EXPECT_FALSE(CProgressDialogSink::IsBusy());
    EXPECT_EQ(sink.GetDialog(), nullptr);
    sink.End(); // one End too many does no harm
    EXPECT_FALSE(CProgressDialogSink::IsBusy());
}

TEST_F(ProgressDialog, CancellableWorkShowsAtOnceAndHearsItsCancelButton) {
    CProgressDialogSink sink;
    sink.SetCancellable(true);
    sink.Begin(QStringLiteral("Replacing 2 sounds"), 2);
    QProgressDialog* pDialog = sink.GetDialog();
    ASSERT_NE(pDialog, nullptr);
    EXPECT_EQ(pDialog->minimumDuration(), 0) << "clicks pass while it works";
    sink.Step(1);
    EXPECT_FALSE(sink.WasCancelled());
    auto* pCancel = pDialog->findChild<QPushButton*>();
    ASSERT_NE(pCancel, nullptr);
    QTest::mouseClick(pCancel, Qt::LeftButton);
    sink.Step(2);
    EXPECT_TRUE(sink.WasCancelled());
    sink.End();
    EXPECT_FALSE(sink.WasCancelled());

    // Work that cannot be given up shows no button.
    sink.SetCancellable(false);
    sink.Begin(QStringLiteral("Saving"), 1);
    EXPECT_EQ(sink.GetDialog()->findChild<QPushButton*>(), nullptr);
    sink.End();
}

TEST_F(ProgressDialog, TotalsBeyondAnIntAreScaled) {
    CProgressDialogSink sink(0);
    const qint64 total = qint64(std::numeric_limits<int>::max()) * 3;
    sink.Begin(QStringLiteral("Packing"), total);
    sink.Step(total / 2);
    ASSERT_NE(sink.GetDialog(), nullptr);
    EXPECT_GT(sink.GetDialog()->maximum(), 0);
    EXPECT_NEAR(double(sink.GetDialog()->value()) / sink.GetDialog()->maximum(), 0.5, 0.01);
    sink.End();
}

TEST_F(ProgressDialog, DocumentsReportThroughTheInstalledSink) {
    CProgressDialogSink sink(0);
    {
        CSeam<IProgressSink>::Guard guard(&sink);
        CDocument::Progress().Begin(QStringLiteral("Saving"), 2);
        CDocument::Progress().Step(1);
        EXPECT_TRUE(sink.GetDialog() != nullptr && sink.GetDialog()->isVisible());
        CDocument::Progress().End();
    }
    EXPECT_NE(&CDocument::Progress(), &sink);
    EXPECT_FALSE(CProgressDialogSink::IsBusy());
}

TEST_F(ProgressDialog, SinkGoingAwayMidWorkEndsIt) {
    {
        CProgressDialogSink sink(0);
        sink.Begin(QStringLiteral("Writing"), 2);
    }
    EXPECT_FALSE(CProgressDialogSink::IsBusy());
}

} // namespace
