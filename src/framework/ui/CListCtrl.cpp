#include "CListCtrl.h"

#include "CCommandRouter.h"
#include "CFileDrop.h"
#include "CListModel.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

CListCtrl::CListCtrl(QWidget* parent) : QTreeView(parent), m_pModel(new CListModel(this)) {
    m_pModel->SetTextSource([this](int nRow, int nColumn) {
        return m_getCellText ? m_getCellText(nRow, nColumn) : QString();
    });
    setModel(m_pModel);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    // A click on a column title sorts by that column; sorting is the
    // list's own, above the model, so the items stay the owner's records.
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    QObject::connect(header(), &QHeaderView::sectionClicked, this,
                     [this](int nCol) { OnHeaderClicked(nCol); });
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    // Commands such as Properties apply to the selected row.
    QObject::connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                     [] { CCommandRouter::StateChanged(); });
    QObject::connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
                     [] { CCommandRouter::StateChanged(); });
}

int CListCtrl::InsertColumn(int nCol, const QString& heading, int nFormat, int nWidth) {
    if (nCol < 0) {
        return -1;
    }
    const int at = m_pModel->InsertColumn(nCol, heading, (nFormat & LVCFMT_RIGHT) != 0);
    if (nWidth >= 0) {
        // Widths are chosen for the platform's small system font; a title
        // the desktop's font makes wider is not cut off.
        header()->resizeSection(at, std::max(nWidth, header()->sectionSizeHint(at)));
    }
    return at;
}

int CListCtrl::GetColumnCount() const {
    return m_pModel->columnCount();
}

int CListCtrl::GetColumnWidth(int nCol) const {
    return nCol >= 0 && nCol < GetColumnCount() ? header()->sectionSize(nCol) : 0;
}

bool CListCtrl::SetColumnWidth(int nCol, int cx) {
    if (nCol < 0 || nCol >= GetColumnCount() || cx < 0) {
        return false;
    }
    header()->resizeSection(nCol, cx);
    return true;
}

bool CListCtrl::GetColumnFormat(int nCol, int* pFormat) const {
    if (nCol < 0 || nCol >= GetColumnCount()) {
        return false;
    }
    if (pFormat != nullptr) {
        *pFormat = m_pModel->IsRightAligned(nCol) ? LVCFMT_RIGHT : LVCFMT_LEFT;
    }
    return true;
}

bool CListCtrl::DeleteAllItems() {
    if (m_bRowsDeleted || m_pModel->rowCount() == 0) {
        return true;
    }
    // The rows are gone for the owner at once, with their selection. The
    // tree keeps its layout of them for a moment: a refill announces the
    // same count right after, and a tree that needs no new layout refills
    // at the same cost however long the list is. Without such a count the
    // rows go when the event loop next runs.
    m_deletedPlace = SavePlace();
    m_bRowsDeleted = true;
    {
        const QSignalBlocker blocker(selectionModel());
        selectionModel()->clear();
    }
    CCommandRouter::StateChanged();
    viewport()->update();
    QMetaObject::invokeMethod(
        this, [this] { FinishDeleteAllItems(); }, Qt::QueuedConnection);
    return true;
}

void CListCtrl::FinishDeleteAllItems() {
    if (m_bRowsDeleted) {
        m_bRowsDeleted = false;
        m_deletedPlace = Place();
        m_pModel->RemoveAllRows();
    }
}

void CListCtrl::SetItemCount(int nItems) {
    nItems = std::max(nItems, 0);
    const bool bRefill = m_bRowsDeleted;
    const Place place = std::exchange(m_deletedPlace, Place());
    m_bRowsDeleted = false;
    if (m_order.IsIdentity()) {
        if (!bRefill || nItems != m_pModel->RecordCount()) {
            if (bRefill) {
                m_pModel->RemoveAllRows();
            }
            m_pModel->SetRowCount(nItems);
        }
    } else {
        // The cells may have changed: filter and sort them again. The row
        // the user was on stays, even if the change made the filter drop it.
        if (bRefill && place.nSelected >= 0 && place.nSelected < nItems) {
            m_order.Keep(place.nSelected);
        }
        Arrange(nItems);
    }
    if (bRefill) {
        RestorePlace(place, true);
    }
}

void CListCtrl::Arrange(int nItems) {
    QList<int> keptOnly;
    const QList<int> rows = m_order.Arrange(
        nItems, GetColumnCount(),
        [this](int nRecord, int nCol) {
            return m_getCellText ? m_getCellText(nRecord, nCol) : QString();
        },
        [this](int nRecord, QString& text) { return m_getRowText && m_getRowText(nRecord, text); },
        &keptOnly);
    m_pModel->SetMarkedRecords(keptOnly, QCoreApplication::translate(
                                             "CListCtrl", "Changed: no longer matches the filter"));
    m_pModel->SetRows(nItems, m_order.IsIdentity() ? nullptr : &rows);
}

void CListCtrl::SetFilterText(const QString& text) {
    if (text == m_order.Filter()) {
        return;
    }
    const Place place = SavePlace();
    m_order.SetFilter(text);
    if (!m_bRowsDeleted) {
        Arrange(m_pModel->RecordCount());
        RestorePlace(place, false);
    }
}

void CListCtrl::SortItems(int nCol, Qt::SortOrder order) {
    const Place place = SavePlace();
    m_order.SetSort(nCol < GetColumnCount() ? nCol : -1, order);
    header()->setSortIndicatorShown(m_order.SortColumn() >= 0);
    if (m_order.SortColumn() >= 0) {
        // Qt draws its downward arrow for ascending order, as Windows once
        // did; Linux desktops point up for ascending, the smallest on top.
        header()->setSortIndicator(m_order.SortColumn(), order == Qt::AscendingOrder
                                                             ? Qt::DescendingOrder
                                                             : Qt::AscendingOrder);
    }
    if (!m_bRowsDeleted) {
        Arrange(m_pModel->RecordCount());
        RestorePlace(place, false);
    }
}

void CListCtrl::OnHeaderClicked(int nCol) {
    const bool bSame = nCol == m_order.SortColumn();
    SortItems(nCol, bSame && m_order.SortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                       : Qt::AscendingOrder);
}

CListCtrl::Place CListCtrl::SavePlace() const {
    Place place;
    if (m_bRowsDeleted) {
        return m_deletedPlace;
    }
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        place.nSelected = m_pModel->RecordOfRow(selected.first().row());
    }
    if (const QModelIndex current = selectionModel()->currentIndex(); current.isValid()) {
        place.nCurrent = m_pModel->RecordOfRow(current.row());
    }
    place.nHorizontal = horizontalScrollBar()->value();
    place.nVertical = verticalScrollBar()->value();
    return place;
}

void CListCtrl::RestorePlace(const Place& place, bool bKeepScroll) {
    // The rows may be new: lay them out now, so the scroll bars have their
    // ranges before the values are put back.
    executeDelayedItemsLayout();
    const QModelIndex current = RowIndex(place.nCurrent);
    const QModelIndex selected = RowIndex(place.nSelected);
    // Rows the model removed moved the selection model's current row to
    // another record; only the user's own records are put back.
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (selected.isValid()) {
        selectionModel()->select(selected,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clearSelection();
    }
    if (bKeepScroll) {
        verticalScrollBar()->setValue(place.nVertical);
    } else if (current.isValid()) {
        scrollTo(current);
    } else {
        verticalScrollBar()->setValue(0);
    }
    // Bringing a row into view must not move the list to its first column.
    horizontalScrollBar()->setValue(place.nHorizontal);
}

int CListCtrl::GetItemCount() const {
    return m_bRowsDeleted ? 0 : m_pModel->RecordCount();
}

int CListCtrl::GetVisibleItemCount() const {
    return m_bRowsDeleted ? 0 : m_pModel->rowCount();
}

int CListCtrl::GetVisibleItem(int nRow) const {
    return m_bRowsDeleted ? -1 : m_pModel->RecordOfRow(nRow);
}

QString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    return m_bRowsDeleted ? QString() : m_pModel->CellText(nItem, nSubItem);
}

QModelIndex CListCtrl::RowIndex(int nItem) const {
    if (m_bRowsDeleted) {
        return QModelIndex();
    }
    const int row = m_pModel->RowOfRecord(nItem);
    return row >= 0 ? m_pModel->index(row, 0) : QModelIndex();
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    const int first = std::max(nItem + 1, 0);
    if (first >= GetItemCount()) {
        return -1;
    }
    const auto want = static_cast<unsigned>(nFlags) & (LVIS_SELECTED | LVIS_FOCUSED);
    if (want == 0) {
        return first;
    }
    // Only the selected rows and the focused one can match; a long list is
    // not walked row by row (the commands ask at every idle moment).
    QList<int> candidates;
    if ((want & LVIS_SELECTED) != 0) {
        for (const QItemSelectionRange& range : selectionModel()->selection()) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                candidates.append(m_pModel->RecordOfRow(row));
            }
        }
    } else if (const QModelIndex current = selectionModel()->currentIndex(); current.isValid()) {
        candidates.append(m_pModel->RecordOfRow(current.row()));
    }
    std::sort(candidates.begin(), candidates.end());
    for (const int item : std::as_const(candidates)) {
        if (item >= first && (GetItemState(item, want) & want) == want) {
            return item;
        }
    }
    return -1;
}

bool CListCtrl::SetItemState(int nItem, unsigned nState, unsigned nMask) {
    const QModelIndex index = RowIndex(nItem);
    if (!index.isValid()) {
        return false;
    }
    // Focusing a row does not scroll the list to it.
    const int nHorizontal = horizontalScrollBar()->value();
    const int nVertical = verticalScrollBar()->value();
    QItemSelectionModel* selection = selectionModel();
    if ((nMask & LVIS_SELECTED) != 0) {
        // One selected row at most: selecting a row deselects the other.
        selection->select(index,
                          ((nState & LVIS_SELECTED) != 0 ? QItemSelectionModel::ClearAndSelect
                                                         : QItemSelectionModel::Deselect) |
                              QItemSelectionModel::Rows);
    }
    if ((nMask & LVIS_FOCUSED) != 0) {
        if ((nState & LVIS_FOCUSED) != 0) {
            selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        } else if (selection->currentIndex().row() == index.row()) {
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
    horizontalScrollBar()->setValue(nHorizontal);
    verticalScrollBar()->setValue(nVertical);
    return true;
}

unsigned CListCtrl::GetItemState(int nItem, unsigned nMask) const {
    const QModelIndex index = RowIndex(nItem);
    if (!index.isValid()) {
        return 0;
    }
    unsigned state = 0;
    if (selectionModel()->isRowSelected(index.row(), QModelIndex())) {
        state |= LVIS_SELECTED;
    }
    const QModelIndex current = selectionModel()->currentIndex();
    if (current.isValid() && current.row() == index.row()) {
        state |= LVIS_FOCUSED;
    }
    return state & nMask;
}

bool CListCtrl::GetItemRect(int nItem, QRect* pRect, unsigned nCode) const {
    const QModelIndex index = RowIndex(nItem);
    if (!index.isValid() || pRect == nullptr) {
        return false;
    }
    const QRect label = visualRect(index);
    switch (nCode) {
    case LVIR_ICON:
        *pRect = QRect(label.topLeft(), QSize(0, label.height()));
        return true;
    case LVIR_LABEL:
        *pRect = label;
        return true;
    default: {
        const int last = GetColumnCount() - 1;
        *pRect = label.united(visualRect(m_pModel->index(index.row(), std::max(last, 0))));
        return true;
    }
    }
}

void CListCtrl::ClientToScreen(QPoint* pPoint) const {
    if (pPoint != nullptr) {
        *pPoint = viewport()->mapToGlobal(*pPoint);
    }
}

void CListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && m_onDblclk) {
        m_onDblclk();
    }
}

void CListCtrl::keyPressEvent(QKeyEvent* event) {
    // Shift+F10 asks for the context menu, as the Menu key does: many
    // keyboards have no Menu key, and the window system turns only that one
    // into a request.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint at = viewport()->geometry().topLeft();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, mapToGlobal(at),
                                  event->modifiers());
        QCoreApplication::sendEvent(this, &request);
        event->accept();
        return;
    }
    if (m_onKeydown) {
        m_onKeydown(event->key());
    }
    QTreeView::keyPressEvent(event);
}

bool CListCtrl::TakesDrag(const QMimeData* pData) const {
    if (!m_onDragFiles || !m_onDropFiles) {
        return false;
    }
    const QStringList files = CFileDrop::LocalFiles(pData);
    return !files.isEmpty() && m_onDragFiles(files);
}

void CListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    if (TakesDrag(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (TakesDrag(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CListCtrl::dropEvent(QDropEvent* event) {
    if (!TakesDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    const QStringList files = CFileDrop::Take(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    m_onDropFiles(files, at.isValid() ? m_pModel->RecordOfRow(at.row()) : -1);
}

void CListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_onContextMenu) {
        QTreeView::contextMenuEvent(event);
        return;
    }
    event->accept();
    m_onContextMenu(event->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1)
                                                                   : event->globalPos());
}
