#include "CEventView.h"

#include "CEventCells.h"

#include "dialogs/CSoundEventDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMenu.h"
#include "framework/ui/CWinApp.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CEventView, CListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
END_MESSAGE_MAP()

CEventView::CEventView() = default;

CEventView::~CEventView() = default;

CKantelDoc* CEventView::GetDocument() const {
    return static_cast<CKantelDoc*>(CListView::GetDocument());
}

void CEventView::OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) {
    FillList();
    CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || GetParentFrame() == nullptr) {
        return;
    }
    QString caption = pDoc->GetTitle() + QStringLiteral(" - Event View");
    if (pDoc->IsModified()) {
        caption += QStringLiteral(" *");
    }
    GetParentFrame()->SetWindowText(caption);
}

void CEventView::FillList() {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    int format = 0;
    if (!list.GetColumnFormat(0, &format)) {
        const auto& columns = CEventCells::Columns();
        for (int i = 0; i < CEventCells::ColumnCount; ++i) {
            const ListColumn& column = columns[static_cast<size_t>(i)];
            list.InsertColumn(i, QString::fromLatin1(column.title),
                              column.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT, column.width);
        }
    }
    const CKantelDoc* pDoc = GetDocument();
    list.SetItemCount(pDoc != nullptr ? CEventCells::RowCount(*pDoc) : 0);
}

QString CEventView::GetCellText(int nItem, int nSubItem) const {
    const CKantelDoc* pDoc = GetDocument();
    return pDoc != nullptr ? CEventCells::Text(*pDoc, nItem, nSubItem) : QString();
}

int CEventView::GetSelectedEvent() const {
    const int selected = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    const CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || selected >= CEventCells::RowCount(*pDoc)) {
        return -1;
    }
    return selected;
}

void CEventView::OnUpdateEditProperties(CCmdUI* pCmdUI) {
    const int selected = GetSelectedEvent();
    pCmdUI->Enable(selected >= 0 && GetDocument()->m_pEvents[selected].HasFractions());
}

void CEventView::OnEditProperties() {
    const int selected = GetSelectedEvent();
    if (selected < 0) {
        return;
    }
    CKantelDoc* pDoc = GetDocument();
    SoundEvent* pEvent = &pDoc->m_pEvents[selected];
    if (!pEvent->HasFractions()) {
        return;
    }
    CSoundEventDlg dlg(pEvent);
    if (dlg.DoModal() == IDOK) {
        pDoc->SetModifiedFlag(true);
        pDoc->UpdateAllViews(nullptr, 0, nullptr);
        GetListCtrl().SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED,
                                   LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void CEventView::OnDblclk() {
    OnEditProperties();
}

void CEventView::OnContextMenu(QWidget* /*pWnd*/, QPoint point) {
    const int selected = GetSelectedEvent();
    if (selected < 0) {
        return;
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT)) {
        return;
    }
    CMenu* pPopup = menu.GetSubMenu(1);
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
