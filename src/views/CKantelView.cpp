#include "CKantelView.h"

#include "CResourceCells.h"

#include "dialogs/CCdTrackResourceDlg.h"
#include "dialogs/CSampleResourceDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMenu.h"
#include "framework/ui/CWinApp.h"
#include "framework/ui/PlaySound.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CKantelView, CListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_COMMAND(ID_SOUND_PLAY, OnSoundPlay)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
ON_UPDATE_COMMAND_UI(ID_SOUND_PLAY, OnUpdateEditProperties)
END_MESSAGE_MAP()

CKantelView::CKantelView() = default;

CKantelView::~CKantelView() = default;

CKantelDoc* CKantelView::GetDocument() const {
    return static_cast<CKantelDoc*>(CListView::GetDocument());
}

void CKantelView::OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) {
    FillList();
    CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || GetParentFrame() == nullptr) {
        return;
    }
    QString caption = pDoc->GetTitle() + QStringLiteral(" - Resource View");
    if (pDoc->IsModified()) {
        caption += QStringLiteral(" *");
    }
    GetParentFrame()->SetWindowText(caption);
}

void CKantelView::FillList() {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    int format = 0;
    if (!list.GetColumnFormat(0, &format)) {
        const auto& columns = CResourceCells::Columns();
        for (int i = 0; i < CResourceCells::ColumnCount; ++i) {
            const ListColumn& column = columns[static_cast<size_t>(i)];
            list.InsertColumn(i, QString::fromLatin1(column.title),
                              column.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT, column.width);
        }
    }
    const CKantelDoc* pDoc = GetDocument();
    list.SetItemCount(pDoc != nullptr ? CResourceCells::RowCount(*pDoc) : 0);
}

QString CKantelView::GetCellText(int nItem, int nSubItem) const {
    const CKantelDoc* pDoc = GetDocument();
    return pDoc != nullptr ? CResourceCells::Text(*pDoc, nItem, nSubItem) : QString();
}

int CKantelView::GetSelectedResource() const {
    const int selected = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    const CKantelDoc* pDoc = GetDocument();
    // The list and the table have the same length; a stale row is no resource.
    if (pDoc == nullptr || selected >= CResourceCells::RowCount(*pDoc)) {
        return -1;
    }
    return selected;
}

void CKantelView::OnUpdateEditProperties(CCmdUI* pCmdUI) {
    const int selected = GetSelectedResource();
    const CKantelDoc* pDoc = GetDocument();
    pCmdUI->Enable(selected >= 0 && (pDoc->m_pResources[selected].IsSample() ||
                                     pDoc->m_pResources[selected].IsCdAudio()));
}

void CKantelView::OnEditProperties() {
    const int selected = GetSelectedResource();
    if (selected < 0) {
        return;
    }
    CKantelDoc* pDoc = GetDocument();
    SoundResource* pResource = &pDoc->m_pResources[selected];
    int result = IDCANCEL;
    if (pResource->IsSample()) {
        CSampleResourceDlg dlg(pDoc, pResource);
        result = dlg.DoModal();
        if (result == IDOK) {
            pDoc->UpdateSampleOffsets();
        }
    } else if (pResource->IsCdAudio()) {
        CCdTrackResourceDlg dlg(pResource);
        result = dlg.DoModal();
    } else {
        return;
    }
    if (result == IDOK) {
        pDoc->SetModifiedFlag(true);
        pDoc->UpdateAllViews(nullptr, 0, nullptr);
        GetListCtrl().SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED,
                                   LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void CKantelView::OnSoundPlay() {
    const int selected = GetSelectedResource();
    if (selected < 0) {
        return;
    }
    QString path;
    if (!GetDocument()->GetSampleFilePath(selected, path)) {
        return;
    }
    PlaySound(path, SND_FILENAME | SND_ASYNC);
}

void CKantelView::OnDblclk() {
    OnEditProperties();
}

void CKantelView::OnKeydown(int nKey) {
    if (nKey == 0x20) {
        OnSoundPlay();
    }
}

void CKantelView::OnContextMenu(QWidget* /*pWnd*/, QPoint point) {
    const int selected = GetSelectedResource();
    if (selected < 0) {
        return;
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT)) {
        return;
    }
    CMenu* pPopup = menu.GetSubMenu(0);
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
