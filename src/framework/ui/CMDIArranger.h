#pragma once

#include <QList>
#include <QRect>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Arranges the document windows of one MDI area: cascade, tile, the row of
// minimised windows, next and previous, and the place of each new window.
// The frame decides which windows count and which one is active; this class
// only moves them.
class CMDIArranger {
public:
    explicit CMDIArranger(QMdiArea* pArea) : m_pArea(pArea) {}

    // Each window a title bar lower and to the right of the one behind it,
    // keeping most of the area; the active one in front.
    void Cascade(const QList<QMdiSubWindow*>& windows, QMdiSubWindow* pActive) const;
    // Horizontally: wide windows one above the other; vertically: side by
    // side. From four windows on they form a grid; the active one first.
    void Tile(const QList<QMdiSubWindow*>& windows, QMdiSubWindow* pActive, bool bHorizontal) const;
    // Minimised windows in rows along the bottom of the area.
    void IconArrange(const QList<QMdiSubWindow*>& windows) const;
    void Next(bool bPrevious) const;
    // Where a new document window goes, in MDI-area coordinates: each one a
    // title bar lower and to the right of the one made before it, starting
    // again at the top left before one would reach past the area, so the
    // caption and close box of every new window can be reached. Counts the
    // window as made; with no window open the count starts again. frame is
    // the window around the area: before it is first shown nothing has been
    // laid out, so it is laid out here at the size it will show with.
    QRect NextChildRect(QWidget& frame, bool bNoWindowOpen);

private:
    QMdiArea* m_pArea;
    int m_nChildrenPlaced = 0;
};
