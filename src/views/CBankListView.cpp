#include "CBankListView.h"

#include "doc/CKantelDoc.h"
#include "framework/core/CResourceText.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCommandRouter.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMenu.h"
#include "framework/ui/CWinApp.h"
#include "res/resource.h"

#include <utility>

CBankListView::CBankListView(QString captionSuffix, const CellTable& table)
    : m_strCaptionSuffix(std::move(captionSuffix)), m_table(table) {}

CBankListView::~CBankListView() = default;

CKantelDoc* CBankListView::GetDocument() const {
    return static_cast<CKantelDoc*>(CListView::GetDocument());
}

void CBankListView::OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) {
    FillList();
    // What commands and the frame's panes show may depend on the records
    // just changed, with no selection or command to say so.
    CCommandRouter::StateChanged();
    CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || GetParentFrame() == nullptr) {
        return;
    }
    QString caption = pDoc->GetTitle() + m_strCaptionSuffix;
    if (pDoc->IsModified()) {
        caption += QStringLiteral(" *");
    }
    GetParentFrame()->SetWindowText(caption);
}

void CBankListView::FillList() {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    int format = 0;
    if (!list.GetColumnFormat(0, &format)) {
        for (int i = 0; i < m_table.nColumns; ++i) {
            const ListColumn& column = m_table.pColumns[i];
            list.InsertColumn(i, CResourceText::Tr(column.title),
                              column.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT, column.width);
        }
    }
    const CKantelDoc* pDoc = GetDocument();
    list.SetItemCount(pDoc != nullptr ? m_table.rowCount(pDoc->Records()) : 0);
}

QString CBankListView::GetCellText(int nItem, int nSubItem) const {
    const CKantelDoc* pDoc = GetDocument();
    return pDoc != nullptr ? m_table.text(pDoc->Records(), nItem, nSubItem) : QString();
}

bool CBankListView::GetRowText(int nItem, QString& text) const {
    const CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || m_table.rowText == nullptr) {
        return false;
    }
    m_table.rowText(pDoc->Records(), nItem, text);
    return true;
}

int CBankListView::GetSelectedRow() const {
    const int selected = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    const CKantelDoc* pDoc = GetDocument();
    // The list and the table have the same length; a stale row is no record.
    if (pDoc == nullptr || selected >= m_table.rowCount(pDoc->Records())) {
        return -1;
    }
    return selected;
}

void CBankListView::ShowContextMenu(int nPopup, QPoint point) {
    const int selected = GetSelectedRow();
    if (selected < 0) {
        return;
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT)) {
        return;
    }
    CMenu* pPopup = menu.GetSubMenu(nPopup);
    if (point == QPoint(-1, -1)) {
        QRect rect;
        if (GetListCtrl().GetItemRect(selected, &rect, LVIR_LABEL)) {
            // Right and bottom lie just outside the rectangle, as the list
            // control counts them.
            const int right = rect.x() + rect.width();
            const int bottom = rect.y() + rect.height();
            point = QPoint((rect.x() + right) / 2, (rect.y() + bottom) / 2);
            GetListCtrl().ClientToScreen(&point);
        }
    }
    if (pPopup != nullptr) {
        pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x(), point.y(), AfxGetMainWnd());
    }
    menu.DestroyMenu();
}
