#include "MdiTestKit.h"

#include "framework/ui/CListModel.h"

#include <QAbstractItemModelTester>
#include <QContextMenuEvent>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

class ListView : public MdiTest {
protected:
    void SetUp() override {
        MdiTest::SetUp();
        pDoc = Open(QStringLiteral("rows.txt"), QStringLiteral("alpha\nbeta\ngamma\ndelta"));
        ASSERT_NE(pDoc, nullptr);
        pView = ActiveView();
        ASSERT_NE(pView, nullptr);
    }

    CListCtrl& List() const { return pView->GetListCtrl(); }

    void Refill(const QStringList& rows) {
        pDoc->rows = rows;
        pDoc->UpdateAllViews(nullptr);
    }

    // Which way the sort arrow drawn in column nCol's title points. The
    // arrow is the title's rightmost mark, apart from its text; an upward
    // arrow is widest at its bottom.
    enum class Arrow { Up, Down };
    Arrow ArrowOf(int nCol) const {
        QHeaderView* header = List().header();
        const QImage image = header->grab().toImage();
        int x = header->sectionViewportPosition(nCol) + header->sectionSize(nCol) - 2;
        const int background = image.pixelColor(x, 1).lightness();
        const auto dark = [&](int column, int y) {
            return image.pixelColor(column, y).lightness() < background - 60;
        };
        const auto darkColumn = [&](int column) {
            for (int y = 2; y < image.height() - 2; ++y) {
                if (dark(column, y)) {
                    return true;
                }
            }
            return false;
        };
        for (; x > 0 && !darkColumn(x); --x) {
        }
        const int right = x;
        for (; x > 0 && darkColumn(x); --x) {
        }
        QList<int> widths;
        for (int y = 2; y < image.height() - 2; ++y) {
            int width = 0;
            for (int column = x + 1; column <= right; ++column) {
                width += dark(column, y) ? 1 : 0;
            }
            if (width > 0) {
                widths.append(width);
            }
        }
        return !widths.isEmpty() && widths.constLast() > widths.constFirst() ? Arrow::Up
                                                                             : Arrow::Down;
    }

    RowsDocument* pDoc = nullptr;
    RowsView* pView = nullptr;
};

TEST_F(ListView, ModelBehavesAsQtExpectsThroughRefills) {
    QAbstractItemModelTester tester(List().model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    Refill({QStringLiteral("x")});
    Refill({});
    Refill({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    EXPECT_EQ(List().GetItemCount(), 3);
}

TEST_F(ListView, InitialUpdateInsertsColumnsOnceAndAnnouncesTheRows) {
    EXPECT_EQ(pView->updates, 1);
    EXPECT_EQ(List().GetColumnCount(), 2);
    EXPECT_EQ(List().GetItemCount(), 4);
    EXPECT_EQ(List().GetItemText(1, 1), QStringLiteral("beta"));
    EXPECT_EQ(List().model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Text"));
    int format = -1;
    ASSERT_TRUE(List().GetColumnFormat(1, &format));
    EXPECT_EQ(format, LVCFMT_RIGHT);
    EXPECT_FALSE(List().GetColumnFormat(2, &format)) << "no such column";
    EXPECT_EQ(List().model()->data(List().model()->index(0, 1), Qt::TextAlignmentRole).toInt() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);

    Refill({QStringLiteral("one"), QStringLiteral("two")});
    EXPECT_EQ(List().GetColumnCount(), 2) << "columns are inserted only when there are none";
    EXPECT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(List().GetItemText(1, 1), QStringLiteral("two"));
    EXPECT_EQ(List().GetItemText(2, 1), QString()) << "past the last row";
}

TEST_F(ListView, ColumnWidthsSurviveRefills) {
    EXPECT_EQ(List().GetColumnWidth(0), 60);
    EXPECT_EQ(List().GetColumnWidth(1), 120);
    List().header()->resizeSection(1, 217); // the user drags the divider
    Refill({QStringLiteral("x")});
    Refill({});
    Refill({QStringLiteral("y"), QStringLiteral("z")});
    EXPECT_EQ(List().GetColumnWidth(1), 217);
    EXPECT_EQ(List().GetColumnWidth(0), 60);
}

TEST_F(ListView, ColumnIsNeverNarrowerThanItsTitle) {
    const QString title = QStringLiteral("A title far too long for a narrow column");
    const int at = List().InsertColumn(2, title, LVCFMT_LEFT, 20);
    ASSERT_EQ(at, 2);
    EXPECT_GT(List().GetColumnWidth(2), List().fontMetrics().horizontalAdvance(title));
    EXPECT_EQ(List().GetColumnWidth(2), List().header()->sectionSizeHint(2));
    // A width that holds the title is taken as given.
    List().InsertColumn(3, QStringLiteral("x"), LVCFMT_LEFT, 300);
    EXPECT_EQ(List().GetColumnWidth(3), 300);
}

TEST_F(ListView, CellTextsAreAskedForOnlyWhenPainted) {
    QStringList many;
    for (int i = 0; i < 100000; ++i) {
        many.append(QStringLiteral("row %1").arg(i));
    }
    pView->cellRequests = 0;
    Refill(many);
    EXPECT_EQ(List().GetItemCount(), 100000);
    const int afterRefill = pView->cellRequests;
    EXPECT_LT(afterRefill, 10) << "a refill must not walk the rows";

    // A paint asks for the visible cells only, and for what the document
    // holds now.
    List().viewport()->grab();
    EXPECT_GT(pView->cellRequests, afterRefill);
    EXPECT_LT(pView->cellRequests, 1000);
    many[0] = QStringLiteral("changed");
    pDoc->rows = many;
    EXPECT_EQ(List().GetItemText(0, 1), QStringLiteral("changed"));
}

TEST_F(ListView, RefillOfAsManyRowsNeedsNoNewLayoutYetLooksRebuilt) {
    QStringList many;
    for (int i = 0; i < 500; ++i) {
        many.append(QStringLiteral("row %1").arg(i));
    }
    Refill(many);
    QScrollBar* pScroll = List().verticalScrollBar();
    List().SetItemState(450, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    List().scrollToBottom();
    const int place = pScroll->value();
    ASSERT_GT(place, 0);

    // The rows stay laid out, so the refill costs the same for any length.
    QSignalSpy removed(List().model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(List().model(), &QAbstractItemModel::rowsInserted);
    many[450] = QStringLiteral("changed");
    Refill(many);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(inserted.count(), 0);
    // What the user sees is the new texts in a list that kept its place:
    // the selected and the focused row, and the scroll position.
    EXPECT_EQ(List().GetItemCount(), 500);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 450);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 450);
    EXPECT_EQ(pScroll->value(), place);
    EXPECT_EQ(List().GetItemText(450, 1), QStringLiteral("changed"));

    // Rows deleted with no count to follow are gone at once for the owner,
    // and for the list as soon as the event loop runs.
    List().SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    List().DeleteAllItems();
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(List().GetItemText(0, 1), QString());
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), -1);
    EXPECT_FALSE(List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(List().model()->rowCount(), 0);

    // Another length is announced to the list in full.
    Refill({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(List().model()->rowCount(), 2);
    EXPECT_EQ(List().GetItemText(1, 1), QStringLiteral("b"));
}

TEST_F(ListView, SelectedRowOfALongListIsFoundWithoutLookingAtEveryRow) {
    QStringList many;
    for (int i = 0; i < 100000; ++i) {
        many.append(QString());
    }
    Refill(many);
    List().SetItemState(99990, LVIS_SELECTED, LVIS_SELECTED);
    List().SetItemState(5, LVIS_FOCUSED, LVIS_FOCUSED);
    pView->cellRequests = 0;
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 99990);
    EXPECT_EQ(List().GetNextItem(99990, LVNI_SELECTED), -1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 5);
    EXPECT_EQ(List().GetNextItem(5, LVNI_FOCUSED), -1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED | LVNI_FOCUSED), -1);
    EXPECT_EQ(List().GetNextItem(7, LVNI_ALL), 8);
    EXPECT_EQ(List().GetNextItem(99999, LVNI_ALL), -1);
    EXPECT_EQ(pView->cellRequests, 0);
}

TEST_F(ListView, OneSelectedRowAtMostFoundFromTheStart) {
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), -1);
    EXPECT_TRUE(List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_TRUE(List().SetItemState(3, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 3);
    EXPECT_EQ(List().GetNextItem(3, LVNI_SELECTED), -1);
    EXPECT_EQ(List().GetItemState(1, LVIS_SELECTED), 0U);

    // Ctrl+click does not add a second row.
    const QRect row1 = List().visualRect(List().model()->index(1, 0));
    QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::ControlModifier, row1.center());
    EXPECT_EQ(List().selectionModel()->selectedRows().size(), 1);

    EXPECT_FALSE(List().SetItemState(4, LVIS_SELECTED, LVIS_SELECTED)) << "no row 4";
    EXPECT_EQ(List().GetNextItem(-1, LVNI_ALL), 0);
}

TEST_F(ListView, RowSetSelectedAndFocusedAfterARefill) {
    List().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    pDoc->SetModifiedFlag(true);
    pDoc->UpdateAllViews(nullptr);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 2) << "a refill keeps the selection";
    Refill({QStringLiteral("only"), QStringLiteral("two")});
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), -1) << "the selected record is gone";
    Refill({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});

    List().SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(List().GetItemState(2, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 2);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED | LVNI_FOCUSED), 2);

    List().SetItemState(2, 0, LVIS_SELECTED);
    EXPECT_EQ(List().GetItemState(2, LVIS_SELECTED | LVIS_FOCUSED), LVIS_FOCUSED);
}

// The rows shown from the top, by record index.
QList<int> Shown(const CListCtrl& list) {
    QList<int> items;
    for (int row = 0; row < list.GetVisibleItemCount(); ++row) {
        items.append(list.GetVisibleItem(row));
    }
    return items;
}

TEST_F(ListView, AClickOnAColumnTitleSortsByItAndAnotherTurnsItAround) {
    Refill({QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("pear"), QString(),
            QStringLiteral("100"), QStringLiteral("Apple"), QStringLiteral("9")});
    QAbstractItemModelTester tester(List().model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto clickTitle = [this](int nCol) {
        QTest::mouseClick(List().header()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(List().header()->sectionPosition(nCol) + 10, 5));
    };
    clickTitle(1);
    // Empty first, numbers as numbers (equal ones in table order), then texts
    // with case ignored.
    EXPECT_EQ(Shown(List()), (QList<int>{3, 1, 6, 0, 4, 5, 2}));
    EXPECT_TRUE(List().header()->isSortIndicatorShown());
    EXPECT_EQ(ArrowOf(1), Arrow::Up) << "ascending points up, the smallest on top";
    clickTitle(1);
    EXPECT_EQ(ArrowOf(1), Arrow::Down);
    EXPECT_EQ(Shown(List()), (QList<int>{2, 5, 4, 0, 1, 6, 3}));
    EXPECT_EQ(List().GetSortOrder(), Qt::DescendingOrder);

    // The items stay the records: the cells of record 4 are its own, and
    // selecting it selects the row that shows it.
    EXPECT_EQ(List().GetItemText(4, 1), QStringLiteral("100"));
    ASSERT_TRUE(List().SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(List().selectionModel()->selectedRows().value(0).row(), 2);
    EXPECT_EQ(List().model()->index(2, 0).data().toString(), QStringLiteral("4"));
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 4);

    // A refill sorts the new texts, and keeps the selected record.
    Refill({QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("pear"), QString(),
            QStringLiteral("1"), QStringLiteral("Apple"), QStringLiteral("9")});
    EXPECT_EQ(Shown(List()), (QList<int>{2, 5, 0, 1, 6, 4, 3}));
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 4);
    EXPECT_EQ(List().selectionModel()->selectedRows().value(0).row(), 5);

    clickTitle(0); // the index column: the records' own order again
    EXPECT_EQ(Shown(List()), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(ListView, TheFilterKeepsRowsWithACellThatContainsItAndSurvivesARefill) {
    Refill({QStringLiteral("Horn"), QStringLiteral("Engine"), QStringLiteral("horn2"),
            QStringLiteral("Wind")});
    QAbstractItemModelTester tester(List().model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    List().SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

    List().SetFilterText(QStringLiteral("HORN"));
    EXPECT_EQ(Shown(List()), (QList<int>{0, 2}));
    EXPECT_EQ(List().GetItemCount(), 4) << "the items are still all the records";
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 2);

    // Any cell counts: the first column shows the index.
    List().SetFilterText(QStringLiteral("3"));
    EXPECT_EQ(Shown(List()), (QList<int>{3}));
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), -1) << "a hidden row is no selection";
    EXPECT_FALSE(List().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));

    List().SortItems(1, Qt::DescendingOrder);
    List().SetFilterText(QStringLiteral("n"));
    EXPECT_EQ(Shown(List()), (QList<int>{3, 2, 0, 1}));
    Refill({QStringLiteral("Horn"), QStringLiteral("Bell"), QStringLiteral("horn2"),
            QStringLiteral("Wind"), QStringLiteral("Zone")});
    EXPECT_EQ(Shown(List()), (QList<int>{4, 3, 2, 0}));

    List().SetFilterText(QString());
    List().SortItems(-1);
    EXPECT_EQ(Shown(List()), (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(List().header()->isSortIndicatorShown());
}

TEST_F(ListView, CtrlFGoesToTheFilterAndEscapeClearsItAndGoesBack) {
    pView->window()->activateWindow();
    List().setFocus();
    QLineEdit& filter = pView->GetFilterEdit();
    QTest::keyClick(&List(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(filter.hasFocus());
    QTest::keyClicks(&filter, QStringLiteral("mm"));
    EXPECT_EQ(Shown(List()), (QList<int>{2}));
    QTest::keyClick(&filter, Qt::Key_Escape);
    EXPECT_TRUE(filter.text().isEmpty());
    EXPECT_EQ(List().GetVisibleItemCount(), 4);
    EXPECT_TRUE(List().hasFocus());
}

TEST_F(ListView, DownFromTheFilterSelectsTheFirstRowItKeptUnlessOneIsSelected) {
    pView->window()->activateWindow();
    QLineEdit& filter = pView->GetFilterEdit();
    List().SortItems(1, Qt::DescendingOrder);
    filter.setFocus();
    QTest::keyClicks(&filter, QStringLiteral("a"));
    QTest::keyClick(&filter, Qt::Key_Down);
    EXPECT_TRUE(List().hasFocus());
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 2) << "gamma is the first row shown";
    List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    filter.setFocus();
    QTest::keyClick(&filter, Qt::Key_Down);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 0) << "the user's row stays selected";
}

TEST_F(ListView, ARowTheFilterNoLongerMatchesAfterAnEditStaysMarkedUntilTheFilterChanges) {
    Refill({QStringLiteral("external"), QStringLiteral("bank"), QStringLiteral("external"),
            QStringLiteral("external")});
    List().SetFilterText(QStringLiteral("extern"));
    List().SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    // The edited (selected) record 2 stays, in italics; record 3, changed
    // while not selected, goes.
    Refill({QStringLiteral("external"), QStringLiteral("bank"), QStringLiteral("bank"),
            QStringLiteral("bank")});
    EXPECT_EQ(Shown(List()), (QList<int>{0, 2}));
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_FALSE(List().model()->index(0, 1).data(Qt::FontRole).value<QFont>().italic());
    EXPECT_TRUE(List().model()->index(1, 1).data(Qt::FontRole).value<QFont>().italic());
    EXPECT_FALSE(List().model()->index(1, 1).data(Qt::ToolTipRole).toString().isEmpty());
    List().SetFilterText(QStringLiteral("exter"));
    EXPECT_EQ(Shown(List()), (QList<int>{0}));
}

TEST_F(ListView, ARefillAndARestoredSelectionKeepTheScrollPositionInBothDirections) {
    QStringList many;
    for (int i = 0; i < 300; ++i) {
        many.append(
            QStringLiteral("a rather long text so that the column needs scrolling %1").arg(i));
    }
    Refill(many);
    List().SetColumnWidth(1, 3000);
    List().resize(300, 200);
    List().SetItemState(200, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    List().verticalScrollBar()->setValue(150);
    List().horizontalScrollBar()->setValue(700);
    ASSERT_EQ(List().horizontalScrollBar()->value(), 700);

    Refill(many);
    List().SetItemState(200, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(List().verticalScrollBar()->value(), 150);
    EXPECT_EQ(List().horizontalScrollBar()->value(), 700);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 200);

    // A new order brings the current row into view, still at the same column.
    List().SortItems(1, Qt::DescendingOrder);
    EXPECT_EQ(List().horizontalScrollBar()->value(), 700);
    const QRect current = List().visualRect(List().currentIndex());
    EXPECT_GE(current.top(), 0);
    EXPECT_LE(current.bottom(), List().viewport()->height());
}

TEST_F(ListView, LabelRectangleIsTheFirstColumnOfTheRow) {
    QRect label;
    ASSERT_TRUE(List().GetItemRect(1, &label, LVIR_LABEL));
    QRect row0;
    ASSERT_TRUE(List().GetItemRect(0, &row0, LVIR_LABEL));
    EXPECT_EQ(label.left(), 0);
    EXPECT_EQ(label.width(), 60);
    EXPECT_EQ(label.top(), row0.bottom() + 1) << "rows stack without gaps";
    QRect bounds;
    ASSERT_TRUE(List().GetItemRect(1, &bounds, LVIR_BOUNDS));
    EXPECT_EQ(bounds.width(), 180);
    EXPECT_FALSE(List().GetItemRect(4, &label, LVIR_LABEL));
    EXPECT_FALSE(List().GetItemRect(-1, &label, LVIR_LABEL));
}

TEST_F(ListView, DoubleClickAndKeysReachTheView) {
    const QRect row2 = List().visualRect(List().model()->index(2, 0));
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, row2.center());
    EXPECT_TRUE(pView->events.contains(QStringLiteral("dblclk")));

    // The view hears of Space first; the list then handles the key, which
    // leaves the selected row selected.
    pView->events.clear();
    List().SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    QTest::keyClick(&List(), Qt::Key_Space);
    EXPECT_EQ(pView->events, QStringList{QStringLiteral("key 32")});
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 2);
    QTest::keyClick(&List(), Qt::Key_Down);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), 3);
}

TEST_F(ListView, ContextMenuFromTheKeyboardOpensAtTheSelectedRowsLabel) {
    ScriptedMenuRunner runner;

    // Nothing selected: the view shows no menu.
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5),
                               List().viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(List().viewport(), &keyboard);
    ASSERT_EQ(pView->contextPoints, QList<QPoint>{QPoint(-1, -1)});
    EXPECT_TRUE(runner.menus.isEmpty());

    List().SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    runner.choose = QStringLiteral("Properties");
    g_commandLog.clear();
    QCoreApplication::sendEvent(List().viewport(), &keyboard);
    QRect label;
    List().GetItemRect(1, &label, LVIR_LABEL);
    ASSERT_EQ(runner.points.size(), 1);
    EXPECT_EQ(runner.points.at(0), List().viewport()->mapToGlobal(label.center()));
    EXPECT_EQ(runner.menus.at(0), (QStringList{QStringLiteral("P&lay"), QStringLiteral("-"),
                                               QStringLiteral("Properties")}));
    // The chosen item went through the routing to the view.
    EXPECT_EQ(g_commandLog, QStringList{QStringLiteral("view")});
}

TEST_F(ListView, ShiftF10AsksForTheContextMenuAsTheMenuKeyDoes) {
    ScriptedMenuRunner runner;
    List().SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    pView->events.clear();
    QTest::keyClick(&List(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(pView->contextPoints, QList<QPoint>{QPoint(-1, -1)});
    EXPECT_EQ(runner.menus.size(), 1);
    // The key itself is not passed on as a key press (Shift, pressed
    // first, is).
    EXPECT_EQ(pView->events, QStringList{QStringLiteral("key %1").arg(Qt::Key_Shift)});
    // F10 alone is a key like any other.
    pView->events.clear();
    QTest::keyClick(&List(), Qt::Key_F10);
    EXPECT_EQ(pView->contextPoints.size(), 1);
    EXPECT_EQ(pView->events, QStringList{QStringLiteral("key %1").arg(Qt::Key_F10)});
}

TEST_F(ListView, ContextMenuFromTheMouseOpensAtThePointerWithItemsStatedByTheRouting) {
    ScriptedMenuRunner runner;
    // The view's update handler enables Properties and Play only with a
    // selected row; a right-click on a row selects it first.
    const QRect row3 = List().visualRect(List().model()->index(3, 0));
    QTest::mouseClick(List().viewport(), Qt::RightButton, Qt::NoModifier, row3.center());
    const QPoint at = List().viewport()->mapToGlobal(row3.center());
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, row3.center(), at);
    QCoreApplication::sendEvent(List().viewport(), &mouse);
    ASSERT_EQ(runner.points, QList<QPoint>{at});
    EXPECT_EQ(runner.menus.at(0), (QStringList{QStringLiteral("P&lay"), QStringLiteral("-"),
                                               QStringLiteral("Properties")}));

    // A disabled item cannot be chosen.
    List().SetItemState(3, 0, LVIS_SELECTED);
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT));
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    runner.choose = QStringLiteral("P&lay");
    g_commandLog.clear();
    menu.GetSubMenu(0)->TrackPopupMenu(TPM_RIGHTBUTTON, 1, 1, frame);
    EXPECT_EQ(runner.menus.last(), (QStringList{QStringLiteral("P&lay (off)"), QStringLiteral("-"),
                                                QStringLiteral("Properties (off)")}));
    EXPECT_TRUE(g_commandLog.isEmpty());
    EXPECT_EQ(menu.GetSubMenu(2), nullptr);
    EXPECT_FALSE(menu.LoadMenu(999));
}

} // namespace
