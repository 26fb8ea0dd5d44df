#pragma once

#include "CView.h"

class CListCtrl;
class QLineEdit;

// A view that is a report list (see CListCtrl). The derived view fills it on
// every update and gives the text of each cell when asked:
//
//   void CMyView::OnUpdate(IDocumentView*, qintptr, void*) {
//       CListCtrl& list = GetListCtrl();
//       list.DeleteAllItems();
//       if (list.GetColumnCount() == 0) { ...InsertColumn... }
//       list.SetItemCount(GetDocument()->m_nRecords);
//   }
//   QString CMyView::GetCellText(int nItem, int nSubItem) const { ... }
//
// Double-clicks, key presses and context-menu requests in the list arrive at
// the virtual handlers below. Above the list is its filter field: Ctrl+F
// goes there, typing keeps the rows with a cell that contains the text, and
// Escape clears it and goes back to the list.
class CListView : public CView {
public:
    CListView();
    ~CListView() override;

    CListCtrl& GetListCtrl() const { return *m_pList; }
    QLineEdit& GetFilterEdit() const { return *m_pFilter; }
    // Files dragged onto the list arrive at OnDragFiles and OnDropFiles.
    void DragAcceptFiles(bool bAccept = true);

protected:
    // The text of row nItem, column nSubItem; asked whenever the cell is
    // painted, so it is always the document's current state.
    virtual QString GetCellText(int nItem, int nSubItem) const;
    // Appends every cell of row nItem to text, each followed by a line
    // break, as GetCellText gives them; false (the default) when a view has
    // no faster way than cell by cell. The filter of a long list uses it.
    virtual bool GetRowText(int nItem, QString& text) const;
    // A double-click anywhere in the list.
    virtual void OnDblclk();
    // A key pressed in the list, before the list acts on it (nKey is Qt's
    // key code; Qt::Key_Space is 0x20, VK_SPACE).
    virtual void OnKeydown(int nKey);
    // A context menu asked for over the list; point is in screen coordinates,
    // or (-1, -1) when the menu was asked for from the keyboard.
    virtual void OnContextMenu(QWidget* pWnd, QPoint point);
    // Whether the list takes a drag of these local files; files it does not
    // take go on to the frame, which opens them.
    virtual bool OnDragFiles(const QStringList& files);
    // Files dropped on row nItem (-1: below the rows).
    virtual void OnDropFiles(const QStringList& files, int nItem);

private:
    CListCtrl* m_pList;
    QLineEdit* m_pFilter;
};
