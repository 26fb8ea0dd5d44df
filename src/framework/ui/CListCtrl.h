#pragma once

#include "CListOrder.h"

#include <QStringList>
#include <QTreeView>

#include <functional>

class CListModel;
class QMimeData;

// Column formats (InsertColumn).
inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
// GetNextItem flags.
inline constexpr int LVNI_ALL = 0x0000;
inline constexpr int LVNI_FOCUSED = 0x0001;
inline constexpr int LVNI_SELECTED = 0x0002;
// Item states (SetItemState, GetItemState).
inline constexpr unsigned LVIS_FOCUSED = 0x0001U;
inline constexpr unsigned LVIS_SELECTED = 0x0002U;
// GetItemRect parts.
inline constexpr unsigned LVIR_BOUNDS = 0;
inline constexpr unsigned LVIR_ICON = 1;
inline constexpr unsigned LVIR_LABEL = 2;

// A report list with the list control's operations: columns inserted once
// with format, width and title, a row count announced, one selected row at
// most. It keeps no texts; its owner gives each cell's text when the cell is
// painted. Items are the owner's records, addressed by their index whatever
// the list shows: the list may show only the records whose cells contain a
// filter text, sorted by the column whose title was clicked (again: the
// other way). A refill keeps the selected and the current record and the
// scroll position. Coordinates are the list's client coordinates (below the
// header).
//
//   list.DeleteAllItems();
//   if (list.GetColumnCount() == 0)
//       list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
//   list.SetItemCount(nRows);
//   int nSelected = list.GetNextItem(-1, LVNI_SELECTED);
class CListCtrl : public QTreeView {
public:
    explicit CListCtrl(QWidget* parent = nullptr);

    // Inserts a column nWidth pixels wide, or as wide as its title needs if
    // that is more; nWidth < 0 keeps the default width. Returns its index or
    // -1.
    int InsertColumn(int nCol, const QString& heading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    int GetColumnCount() const;
    int GetColumnWidth(int nCol) const;
    bool SetColumnWidth(int nCol, int cx);
    // The format of a column; false when there is no such column.
    bool GetColumnFormat(int nCol, int* pFormat) const;

    // Removes every row; columns and their widths stay.
    bool DeleteAllItems();
    // The number of rows from now on.
    void SetItemCount(int nItems);
    int GetItemCount() const;
    // The text the list shows in a cell (asked of the owner).
    QString GetItemText(int nItem, int nSubItem) const;

    // The first row after nItem (-1: from the start) with all the states of
    // nFlags, or -1.
    int GetNextItem(int nItem, int nFlags) const;
    // Sets the states in nMask to those in nState on row nItem.
    bool SetItemState(int nItem, unsigned nState, unsigned nMask);
    unsigned GetItemState(int nItem, unsigned nMask) const;
    // The rectangle of a row (LVIR_BOUNDS), of its icon (empty: the list
    // has none) or of its label (column 0), in client coordinates; false for
    // a row that does not exist.
    bool GetItemRect(int nItem, QRect* pRect, unsigned nCode) const;
    // Client to screen coordinates.
    void ClientToScreen(QPoint* pPoint) const;

    CListModel* GetModel() const { return m_pModel; }

    // Shows only the items with a cell that contains text (case ignored);
    // empty shows every item.
    void SetFilterText(const QString& text);
    const QString& GetFilterText() const { return m_order.Filter(); }
    // Sorts by column nCol (-1: the items' own order), as a click on its
    // title does.
    void SortItems(int nCol, Qt::SortOrder order = Qt::AscendingOrder);
    int GetSortColumn() const { return m_order.SortColumn(); }
    Qt::SortOrder GetSortOrder() const { return m_order.SortOrder(); }
    // The items the list shows, in the order it shows them.
    int GetVisibleItemCount() const;
    int GetVisibleItem(int nRow) const;

    // What the owner is told. The key handler gets Qt's key code (Space is
    // 0x20, as on the platform) before the list acts on the key. The context
    // menu handler gets a screen point, or (-1, -1) when the menu was asked
    // for from the keyboard.
    std::function<QString(int nItem, int nSubItem)> m_getCellText;
    // Optional: appends every cell of an item, each followed by a line
    // break, and says true; the filter then reads whole rows at once.
    std::function<bool(int nItem, QString& text)> m_getRowText;
    std::function<void()> m_onDblclk;
    std::function<void(int nKey)> m_onKeydown;
    std::function<void(QPoint point)> m_onContextMenu;
    // Local files dragged over the list: m_onDragFiles says whether the list
    // takes them (otherwise the drag goes on to the window around it), and
    // m_onDropFiles gets them with the row they were dropped on, or -1.
    // Drags are taken only while both are set and drops are enabled.
    std::function<bool(const QStringList& files)> m_onDragFiles;
    std::function<void(const QStringList& files, int nItem)> m_onDropFiles;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Where the user was: kept over a refill and a new order.
    struct Place {
        int nSelected = -1;
        int nCurrent = -1;
        int nHorizontal = 0;
        int nVertical = 0;
    };

    QModelIndex RowIndex(int nItem) const;
    Place SavePlace() const;
    // Selects and focuses the items again where the rows still show them;
    // bScroll keeps the scroll position, otherwise the current row is
    // brought into view.
    void RestorePlace(const Place& place, bool bKeepScroll);
    // Shows the model's records as the filter and sort order say.
    void Arrange(int nItems);
    void OnHeaderClicked(int nCol);
    bool TakesDrag(const QMimeData* pData) const;
    // Takes rows that DeleteAllItems left laid out off the tree.
    void FinishDeleteAllItems();

    CListModel* m_pModel;
    CListOrder m_order;
    // Rows deleted for the owner but still laid out in the tree.
    bool m_bRowsDeleted = false;
    // Where the user was when the rows were deleted.
    Place m_deletedPlace;
};
