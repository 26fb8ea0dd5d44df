#include "CEventView.h"

#include "CEventCells.h"

#include "dialogs/CSoundEventDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CListCtrl.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CEventView, CBankListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
END_MESSAGE_MAP()

CEventView::CEventView()
    : CBankListView(QStringLiteral(" - Event View"),
                    {CEventCells::Columns().data(), CEventCells::ColumnCount,
                     &CEventCells::RowCount, &CEventCells::Text}) {}

CEventView::~CEventView() = default;

int CEventView::GetSelectedEvent() const {
    return GetSelectedRow();
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
    ShowContextMenu(1, point);
}
