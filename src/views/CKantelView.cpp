#include "CKantelView.h"

#include "CResourceCells.h"

#include "dialogs/CCdTrackResourceDlg.h"
#include "dialogs/CSampleResourceDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/PlaySound.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CKantelView, CBankListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_COMMAND(ID_SOUND_PLAY, OnSoundPlay)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
ON_UPDATE_COMMAND_UI(ID_SOUND_PLAY, OnUpdateEditProperties)
END_MESSAGE_MAP()

CKantelView::CKantelView()
    : CBankListView(QStringLiteral(" - Resource View"),
                    {CResourceCells::Columns().data(), CResourceCells::ColumnCount,
                     &CResourceCells::RowCount, &CResourceCells::Text}) {}

CKantelView::~CKantelView() = default;

int CKantelView::GetSelectedResource() const {
    return GetSelectedRow();
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
    ShowContextMenu(0, point);
}
