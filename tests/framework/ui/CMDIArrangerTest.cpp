// Window arrangement on a bare MDI area, with no frame around it.
#include "DialogDriver.h"

#include "framework/ui/CMDIArranger.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

namespace {

class MDIArranger : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DialogDriver::EnsureApplication(); }

    void SetUp() override {
        m_area.resize(800, 600);
        m_area.show();
        for (int i = 0; i < 5; ++i) {
            QMdiSubWindow* pWindow = m_area.addSubWindow(new QLabel(QStringLiteral("w")));
            pWindow->resize(200, 150);
            pWindow->show();
            m_windows.append(pWindow);
        }
        QApplication::processEvents();
    }

    QRect Area() const { return m_area.viewport()->rect(); }

    QMdiArea m_area;
    QList<QMdiSubWindow*> m_windows;
};

TEST_F(MDIArranger, TilingFillsTheAreaWithoutOverlapAndPutsTheActiveWindowFirst) {
    const CMDIArranger arranger(&m_area);
    for (const bool horizontal : {true, false}) {
        arranger.Tile(m_windows, m_windows.at(3), horizontal);
        qint64 covered = 0;
        for (int i = 0; i < m_windows.size(); ++i) {
            const QRect r = m_windows.at(i)->geometry();
            EXPECT_TRUE(Area().contains(r)) << horizontal << " window " << i;
            covered += qint64{r.width()} * r.height();
            for (int j = i + 1; j < m_windows.size(); ++j) {
                EXPECT_FALSE(r.intersects(m_windows.at(j)->geometry()))
                    << horizontal << " windows " << i << " and " << j;
            }
        }
        EXPECT_EQ(covered, qint64{Area().width()} * Area().height()) << horizontal;
        EXPECT_EQ(m_windows.at(3)->geometry().topLeft(), Area().topLeft()) << horizontal;
    }
}

TEST_F(MDIArranger, CascadeKeepsEveryCaptionInsideAndTheActiveWindowInFront) {
    const CMDIArranger arranger(&m_area);
    m_windows.at(1)->showMaximized();
    arranger.Cascade(m_windows, m_windows.at(0));
    for (QMdiSubWindow* pWindow : m_windows) {
        EXPECT_FALSE(pWindow->isMaximized());
        EXPECT_TRUE(Area().contains(pWindow->geometry()));
        EXPECT_GE(pWindow->width(), Area().width() / 2);
    }
    // Raised last, so it lies above all the others.
    const QObjectList& children = m_windows.at(0)->parentWidget()->children();
    qsizetype lastWindow = -1;
    for (qsizetype i = 0; i < children.size(); ++i) {
        if (m_windows.contains(qobject_cast<QMdiSubWindow*>(children.at(i)))) {
            lastWindow = i;
        }
    }
    EXPECT_EQ(children.at(lastWindow), m_windows.at(0));
}

TEST_F(MDIArranger, NewWindowsStepDownAndStartAgainAtTheTopLeft) {
    CMDIArranger arranger(&m_area);
    QWidget& frame = m_area;
    const QRect first = arranger.NextChildRect(frame, true);
    EXPECT_EQ(first.topLeft(), Area().topLeft());
    QRect previous = first;
    bool wrapped = false;
    for (int i = 0; i < 50 && !wrapped; ++i) {
        const QRect next = arranger.NextChildRect(frame, false);
        EXPECT_TRUE(Area().contains(next)) << i;
        wrapped = next.topLeft() == first.topLeft();
        if (!wrapped) {
            EXPECT_GT(next.top(), previous.top()) << i;
            EXPECT_GT(next.left(), previous.left()) << i;
        }
        previous = next;
    }
    EXPECT_TRUE(wrapped);
    // With no window open the count starts again.
    arranger.NextChildRect(frame, false);
    EXPECT_EQ(arranger.NextChildRect(frame, true).topLeft(), Area().topLeft());
}

TEST(MDIArrangerWithoutArea, DoesNothingAndGivesNoPlace) {
    DialogDriver::EnsureApplication();
    QWidget frame;
    CMDIArranger arranger(nullptr);
    arranger.Cascade({}, nullptr);
    arranger.Tile({}, nullptr, true);
    arranger.IconArrange({});
    arranger.Next(false);
    EXPECT_TRUE(arranger.NextChildRect(frame, true).isNull());
}

} // namespace
