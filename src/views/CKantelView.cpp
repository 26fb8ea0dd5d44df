#include "CKantelView.h"

#include "CResourceCells.h"

#include "dialogs/CCdTrackResourceDlg.h"
#include "dialogs/CReplaceFolderDlg.h"
#include "dialogs/CSampleResourceDlg.h"
#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "format/CSoundImporter.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/CFilePicker.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CProgressDialogSink.h"
#include "framework/ui/CWinApp.h"
#include "framework/ui/PlaySound.h"
#include "res/resource.h"

#include <QCoreApplication>

#include <algorithm>
#include <span>

BEGIN_MESSAGE_MAP(CKantelView, CBankListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_COMMAND(ID_SOUND_PLAY, OnSoundPlay)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
ON_UPDATE_COMMAND_UI(ID_SOUND_PLAY, OnUpdateEditProperties)
ON_COMMAND(ID_SOUND_IMPORT, OnSoundImport)
ON_UPDATE_COMMAND_UI(ID_SOUND_IMPORT, OnUpdateSoundImport)
ON_COMMAND(ID_SOUND_EXPORT, OnSoundExport)
ON_UPDATE_COMMAND_UI(ID_SOUND_EXPORT, OnUpdateSoundExport)
ON_COMMAND(ID_SOUND_REPLACE_FOLDER, OnSoundReplaceFolder)
ON_UPDATE_COMMAND_UI(ID_SOUND_REPLACE_FOLDER, OnUpdateSoundExport)
END_MESSAGE_MAP()

CKantelView::CKantelView()
    : CBankListView(QCoreApplication::translate("CKantelView", " - Resource View"),
                    {CResourceCells::Columns().data(), CResourceCells::ColumnCount,
                     &CResourceCells::RowCount, &CResourceCells::Text,
                     &CResourceCells::AppendRowText}) {
    DragAcceptFiles();
}

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

void CKantelView::OnUpdateSoundImport(CCmdUI* pCmdUI) {
    const int selected = GetSelectedResource();
    const std::span<const SoundResource> resources = GetDocument()->Resources();
    pCmdUI->Enable(selected >= 0 && static_cast<size_t>(selected) < resources.size() &&
                   resources[static_cast<size_t>(selected)].IsSample());
}

void CKantelView::OnSoundImport() {
    const int selected = GetSelectedResource();
    if (selected < 0) {
        return;
    }
    CFileDialog dlg(
        true, QString(), QString(), OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER,
        QCoreApplication::translate("CKantelView",
                                    "Sound Files (*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus "
                                    "*.mp3)|*.wav;*.aif;*.aiff;*.flac;*.ogg;*.oga;*.opus;*.mp3|") +
            CFileDialog::AllFilesFilterName() + QStringLiteral("|*.*||"),
        this);
    dlg.m_ofn.nFilterIndex = 1;
    dlg.m_ofn.strInitialDir = GetDocument()->GetBankFolder();
    if (dlg.DoModal() == IDOK) {
        ImportInto(selected, dlg.GetPathName());
    }
}

void CKantelView::ImportInto(int index, const QString& path) {
    CKantelDoc* pDoc = GetDocument();
    const std::span<const SoundResource> resources = pDoc->Resources();
    if (index < 0 || static_cast<size_t>(index) >= resources.size() ||
        !resources[static_cast<size_t>(index)].IsSample()) {
        AfxMessageBox(QCoreApplication::translate(
                          "CKantelView", "Drop a sound file on the row of a sample to make it "
                                         "that sample's sound."),
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    const CResult<QString> plan = CSoundImporter::Describe(pDoc->ImportRequest(index, path, {}));
    if (!plan) {
        AfxMessageBox(plan.Error().text, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const CResult<CSoundImporter::Formats> formats =
        CSoundImporter::FormatsOf(pDoc->ImportRequest(index, path, {}));
    CKantelDoc::ImportOptions options;
    const QString match =
        QCoreApplication::translate("CKantelView", "Match the loudness of the sound it replaces");
    if (formats && formats.Value().source.samplesPerSec != formats.Value().target.samplesPerSec) {
        // The rates differ: let the user choose, with buttons that say what
        // each does.
        const QString sampleRate = CSoundImporter::RateText(formats.Value().target.samplesPerSec);
        const QString fileRate = CSoundImporter::RateText(formats.Value().source.samplesPerSec);
        const int answer = AfxMessageBox(
            plan.Value() + QCoreApplication::translate(
                               "CKantelView", "\n\nThe sample plays at %1; the file is at %2.")
                               .arg(sampleRate, fileRate),
            MB_YESNOCANCEL | MB_ICONQUESTION,
            {{QCoreApplication::translate("CKantelView", "Convert to %1").arg(sampleRate),
              QCoreApplication::translate("CKantelView", "Keep %1").arg(fileRate),
              QCoreApplication::translate("CKantelView", "Cancel")},
             match,
             &options.matchLoudness});
        if (answer == IDCANCEL) {
            return;
        }
        options.keepRate = answer == IDNO;
    } else if (AfxMessageBox(plan.Value(), MB_OKCANCEL | MB_ICONINFORMATION,
                             {{}, match, &options.matchLoudness}) != IDOK) {
        return;
    }
    if (pDoc->ImportSound(index, path, options)) {
        GetListCtrl().SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED,
                                   LVIS_SELECTED | LVIS_FOCUSED);
    }
}

bool CKantelView::OnDragFiles(const QStringList& files) {
    return std::any_of(files.begin(), files.end(), [](const QString& file) {
        return !file.endsWith(QStringLiteral(".bnm"), Qt::CaseInsensitive);
    });
}

void CKantelView::OnDropFiles(const QStringList& files, int nItem) {
    QString sound;
    for (const QString& file : files) {
        if (file.endsWith(QStringLiteral(".bnm"), Qt::CaseInsensitive)) {
            if (CWinApp* pApp = AfxGetApp()) {
                pApp->OpenDocumentFile(file);
            }
        } else if (sound.isEmpty()) {
            sound = file;
        }
    }
    if (!sound.isEmpty() && GetDocument() != nullptr) {
        ImportInto(nItem, sound);
    }
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
        CSampleResourceDlg dlg(pDoc, &after, selected);
        result = dlg.DoModal();
    } else if (before.IsCdAudio()) {
        CCdTrackResourceDlg dlg(&after);
        result = dlg.DoModal();
    } else {
        return;
    }
    if (result == IDOK) {
        // Another wave file holds another sound: what the bank held for the
        // old one must not complete the new one when saving.
        const CKantelDoc::ResourceEdit edit{
            selected, before, after,
            CBnmFormat::FileNameText(before).compare(CBnmFormat::FileNameText(after),
                                                     Qt::CaseInsensitive) != 0};
        pDoc->ReplaceResources({&edit, 1}, pDoc->ResourceEditLabel(selected));
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
            switch (AfxMessageBox(QCoreApplication::translate(
                                      "CKantelView", "Export only the selected sound, %1?\n"
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
        QCoreApplication::translate("CKantelView", "Export Sounds"), pDoc->GetBankFolder(),
        window());
    if (folder.isEmpty()) {
        return;
    }
    pDoc->ExportSounds(folder, index, [](const QString& path) {
        switch (AfxMessageBox(QCoreApplication::translate(
                                  "CKantelView", "%1 already exists.\nDo you want to replace it?")
                                  .arg(path),
                              MB_YESTOALLNOCANCEL | MB_ICONQUESTION)) {
        case IDYESTOALL:
            return CKantelDoc::ReplaceAnswer::YesToAll;
        case IDYES:
            return CKantelDoc::ReplaceAnswer::Yes;
        case IDNO:
            return CKantelDoc::ReplaceAnswer::No;
        default:
            return CKantelDoc::ReplaceAnswer::Cancel;
        }
    });
}

namespace {

// Tells of the files of plan that cannot take part; false, after saying so,
// when no file can replace a sample.
bool tellProblems(const CReplacePlan& plan) {
    QStringList problems;
    for (const CReplacePlan::Problem& p : plan.skipped) {
        problems.append(p.message);
    }
    for (const CReplacePlan::Problem& p : plan.failed) {
        problems.append(p.message);
    }
    if (plan.matches.empty()) {
        problems.prepend(
            QCoreApplication::translate("CKantelView", "No sound file in %1 can replace a sample.")
                .arg(plan.folder));
        AfxMessageBox(problems.join(QLatin1Char('\n')), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!plan.failed.empty()) {
        // The run would fail on them; better told before the preview.
        AfxMessageBox(QCoreApplication::translate("CKantelView",
                                                  "These files cannot be replaced and are left "
                                                  "out:\n") +
                          problems.join(QLatin1Char('\n')),
                      MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

} // namespace

void CKantelView::OnSoundReplaceFolder() {
    CKantelDoc* pDoc = GetDocument();
    const QString folder = CSeam<CFilePicker>::Current().PickFolder(
        QCoreApplication::translate("CKantelView", "Replace from Folder"), pDoc->GetBankFolder(),
        window());
    if (folder.isEmpty()) {
        return;
    }
    CResult<CReplacePlan> plan =
        CReplacePlan::Make(folder, pDoc->Records(), {}, pDoc->GetBankFolder());
    if (!plan) {
        AfxMessageBox(plan.Error().text, MB_OK | MB_ICONHAND);
        return;
    }
    if (!tellProblems(plan.Value())) {
        return;
    }
    CReplaceFolderDlg dlg(std::move(plan.Value()), window());
    dlg.m_loudnessOf = [pDoc](const CReplacePlan::Match& match, bool keepRate) {
        const CResult<CLoudnessMatch> gain = CSoundImporter::MatchLoudness(
            pDoc->ImportRequest(match.index, match.file, {keepRate, true}),
            CSeam<IProgressSink>::Current());
        return gain ? gain.Value().Text() : gain.Error().text;
    };
    if (dlg.DoModal() != IDOK) {
        return;
    }
    const std::vector<CReplacePlan::Match> chosen = dlg.Chosen();
    if (chosen.empty()) {
        return;
    }
    auto* pProgress = dynamic_cast<CProgressDialogSink*>(&CSeam<IProgressSink>::Current());
    if (pProgress != nullptr) {
        pProgress->SetCancellable(true);
    }
    pDoc->ReplaceFromFolder(dlg.m_plan, chosen, [pProgress] {
        return pProgress != nullptr && pProgress->WasCancelled();
    });
    if (pProgress != nullptr) {
        pProgress->SetCancellable(false);
    }
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
