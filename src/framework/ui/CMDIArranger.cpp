#include "CMDIArranger.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

QList<QMdiSubWindow*> notMinimized(const QList<QMdiSubWindow*>& windows) {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* pWindow : windows) {
        if (!pWindow->isMinimized()) {
            shown.append(pWindow);
        }
    }
    return shown;
}

} // namespace

void CMDIArranger::Cascade(const QList<QMdiSubWindow*>& all, QMdiSubWindow* pActive) const {
    if (m_pArea == nullptr) {
        return;
    }
    // Qt's own cascade shrinks every window to its smallest size; here they
    // keep most of the area.
    QList<QMdiSubWindow*> windows = notMinimized(all);
    if (windows.isEmpty()) {
        return;
    }
    if (pActive != nullptr && windows.contains(pActive)) {
        windows.move(windows.indexOf(pActive), windows.size() - 1);
    }
    const QRect area = m_pArea->viewport()->rect();
    const int step = std::max(
        m_pArea->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()), 16);
    // Beyond this many the next window starts again at the top left, so none
    // gets smaller than half the area.
    const int perRun = std::max(1, std::min(area.width(), area.height()) / 2 / step + 1);
    const int n = static_cast<int>(windows.size());
    const int steps = std::min(n, perRun) - 1;
    const QSize size(std::max(area.width() - steps * step, area.width() / 2),
                     std::max(area.height() - steps * step, area.height() / 2));
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* pWindow = windows.at(i);
        if (pWindow->isMaximized()) {
            pWindow->showNormal();
        }
        const int offset = (i % perRun) * step;
        pWindow->setGeometry(QRect(QPoint(area.left() + offset, area.top() + offset), size));
        pWindow->raise();
    }
}

void CMDIArranger::Tile(const QList<QMdiSubWindow*>& all, QMdiSubWindow* pActive,
                        bool bHorizontal) const {
    if (m_pArea == nullptr) {
        return;
    }
    QList<QMdiSubWindow*> windows = notMinimized(all);
    if (windows.isEmpty()) {
        return;
    }
    if (pActive != nullptr && windows.contains(pActive)) {
        windows.move(windows.indexOf(pActive), 0);
    }
    const QRect area = m_pArea->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    // Strips across the tiling direction: one per window up to three, then
    // a grid whose later strips take the windows left over.
    const int strips = n <= 3 ? n : static_cast<int>(std::sqrt(static_cast<double>(n)));
    int index = 0;
    for (int strip = 0; strip < strips; ++strip) {
        const int count = n / strips + (strip >= strips - n % strips ? 1 : 0);
        for (int k = 0; k < count; ++k, ++index) {
            QRect r;
            if (bHorizontal) {
                const int top = area.height() * strip / strips;
                const int bottom = area.height() * (strip + 1) / strips;
                const int left = area.width() * k / count;
                const int right = area.width() * (k + 1) / count;
                r = QRect(left, top, right - left, bottom - top);
            } else {
                const int left = area.width() * strip / strips;
                const int right = area.width() * (strip + 1) / strips;
                const int top = area.height() * k / count;
                const int bottom = area.height() * (k + 1) / count;
                r = QRect(left, top, right - left, bottom - top);
            }
            QMdiSubWindow* pWindow = windows.at(index);
            if (pWindow->isMaximized()) {
                pWindow->showNormal();
            }
            pWindow->setGeometry(r);
        }
    }
}

void CMDIArranger::IconArrange(const QList<QMdiSubWindow*>& windows) const {
    if (m_pArea == nullptr) {
        return;
    }
    const QRect area = m_pArea->viewport()->rect();
    int x = 0;
    int y = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* pWindow : windows) {
        if (!pWindow->isMinimized()) {
            continue;
        }
        const QSize size = pWindow->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        pWindow->move(x, y - size.height());
        x += size.width();
    }
}

void CMDIArranger::Next(bool bPrevious) const {
    if (m_pArea == nullptr) {
        return;
    }
    if (bPrevious) {
        m_pArea->activatePreviousSubWindow();
    } else {
        m_pArea->activateNextSubWindow();
    }
}

QRect CMDIArranger::NextChildRect(QWidget& frame, bool bNoWindowOpen) {
    if (m_pArea == nullptr) {
        return QRect();
    }
    QRect area = m_pArea->viewport()->rect();
    if (!frame.isVisible()) {
        if (frame.layout() != nullptr) {
            frame.layout()->activate();
        }
        area = QRect(QPoint(0, 0), m_pArea->contentsRect().size());
    }
    if (bNoWindowOpen) {
        m_nChildrenPlaced = 0;
    }
    const int step = std::max(frame.style()->pixelMetric(QStyle::PM_TitleBarHeight), 16);
    // As many steps as a third of the area's height holds; every window is
    // that many steps smaller than the area, so the last of a run still
    // ends inside it.
    const int steps = std::max(0, area.height() / (3 * step));
    const int offset = step * (m_nChildrenPlaced % (steps + 1));
    ++m_nChildrenPlaced;
    const QSize size(std::max(area.width() - steps * step, 1),
                     std::max(area.height() - steps * step, 1));
    return QRect(area.topLeft() + QPoint(offset, offset), size);
}
