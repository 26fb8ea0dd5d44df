#include "CEventView.h"

#include "CEventCells.h"

#include "dialogs/CSoundEventDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CListCtrl.h"
#include "res/resource.h"

#include <QCoreApplication>

#include <span>

BEGIN_MESSAGE_MAP(CEventView, CBankListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
END_MESSAGE_MAP()

CEventView::CEventView()
    : CBankListView(QCoreApplication::translate("CEventView", " - Event View"),
                    {CEventCells::Columns().data(), CEventCells::ColumnCount,
                     &CEventCells::RowCount, &CEventCells::Text}) {}

CEventView::~CEventView() = default;

int CEventView::GetSelectedEvent() const {
    return GetSelectedRow();
}

void CEventView::OnUpdateEditProperties(CCmdUI* pCmdUI) {
    const int selected = GetSelectedEvent();
    const std::span<const SoundEvent> events = GetDocument()->Events();
    pCmdUI->Enable(selected >= 0 && static_cast<size_t>(selected) < events.size() &&
                   events[static_cast<size_t>(selected)].HasFractions());
}

void CEventView::OnEditProperties() {
    const int selected = GetSelectedEvent();
    CKantelDoc* pDoc = GetDocument();
    const std::span<const SoundEvent> events = pDoc->Events();
    if (selected < 0 || static_cast<size_t>(selected) >= events.size()) {
        return;
    }
    const SoundEvent before = events[static_cast<size_t>(selected)];
    if (!before.HasFractions()) {
        return;
    }
    SoundEvent after = before;
    CSoundEventDlg dlg(&after);
    if (dlg.DoModal() == IDOK) {
        pDoc->ReplaceEvent(selected, before, after);
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
