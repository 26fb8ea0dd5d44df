#include "CKantelView.h"

#include "CResourceCells.h"

#include "dialogs/CCdTrackResourceDlg.h"
#include "dialogs/CSampleResourceDlg.h"
#include "doc/CKantelDoc.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CFilePicker.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/PlaySound.h"
#include "res/resource.h"

#include <algorithm>
#include <span>

BEGIN_MESSAGE_MAP(CKantelView, CBankListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_COMMAND(ID_SOUND_PLAY, OnSoundPlay)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
ON_UPDATE_COMMAND_UI(ID_SOUND_PLAY, OnUpdateEditProperties)
ON_COMMAND(ID_SOUND_EXPORT, OnSoundExport)
ON_UPDATE_COMMAND_UI(ID_SOUND_EXPORT, OnUpdateSoundExport)
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
    const std::span<const SoundResource> resources = GetDocument()->Resources();
    pCmdUI->Enable(selected >= 0 && static_cast<size_t>(selected) < resources.size() &&
                   (resources[static_cast<size_t>(selected)].IsSample() ||
                    resources[static_cast<size_t>(selected)].IsCdAudio()));
}

void CKantelView::OnEditProperties() {
    const int selected = GetSelectedResource();
    CKantelDoc* pDoc = GetDocument();
    const std::span<const SoundResource> resources = pDoc->Resources();
    if (selected < 0 || static_cast<size_t>(selected) >= resources.size()) {
        return;
    }
    // The dialog edits a copy, so Cancel leaves nothing behind and OK is one
    // edit of the document.
    const SoundResource before = resources[static_cast<size_t>(selected)];
    SoundResource after = before;
    int result = IDCANCEL;
    if (before.IsSample()) {
        CSampleResourceDlg dlg(pDoc, &after);
        result = dlg.DoModal();
    } else if (before.IsCdAudio()) {
        CCdTrackResourceDlg dlg(&after);
        result = dlg.DoModal();
    } else {
        return;
    }
    if (result == IDOK) {
        pDoc->ReplaceResource(selected, before, after);
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

void CKantelView::OnUpdateSoundExport(CCmdUI* pCmdUI) {
    const std::span<const SoundResource> resources = GetDocument()->Resources();
    pCmdUI->Enable(std::any_of(resources.begin(), resources.end(),
                               [](const SoundResource& r) { return r.IsSample(); }));
}

void CKantelView::OnSoundExport() {
    CKantelDoc* pDoc = GetDocument();
    const std::span<const SoundResource> resources = pDoc->Resources();
    const auto samples = std::count_if(resources.begin(), resources.end(),
                                       [](const SoundResource& r) { return r.IsSample(); });
    if (samples == 0) {
        return;
    }
    const int selected = GetSelectedResource();
    int index = -1;
    if (selected >= 0 && resources[static_cast<size_t>(selected)].IsSample()) {
        index = selected;
        if (samples > 1) {
            switch (AfxMessageBox(QStringLiteral("Export only the selected sound, %1?\n"
                                                 "Yes exports %1 alone, No all %2 sounds of "
                                                 "the bank.")
                                      .arg(pDoc->GetExportFileName(selected))
                                      .arg(samples),
                                  MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                break;
            case IDNO:
                index = -1;
                break;
            default:
                return;
            }
        }
    }
    const QString folder = CSeam<CFilePicker>::Current().PickFolder(
        QStringLiteral("Export Sounds"), pDoc->GetBankFolder(), window());
    if (folder.isEmpty()) {
        return;
    }
    pDoc->ExportSounds(folder, index);
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
