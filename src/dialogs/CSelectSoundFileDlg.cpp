#include "CSelectSoundFileDlg.h"

#include "doc/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CDataExchange.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/PlaySound.h"

#include <array>

CSelectSoundFileDlg::CSelectSoundFileDlg(QWidget* pParentWnd) : CDialog(IDD, pParentWnd) {}

CSelectSoundFileDlg::~CSelectSoundFileDlg() = default;

std::span<const CDialog::MessageEntry> CSelectSoundFileDlg::GetMessageMap() const {
    static const std::array map{
        Notify(IDC_BROWSE, BN_CLICKED, &CSelectSoundFileDlg::OnBrowse),
        Notify(IDC_PLAY, BN_CLICKED, &CSelectSoundFileDlg::OnPlay),
    };
    return map;
}

void CSelectSoundFileDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SOUND_FILE, m_strFileName);
    DDV_MaxChars(pDX, m_strFileName, SoundResource::kMaxFileName);
}

bool CSelectSoundFileDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Until the browser delivers a path, Play uses the name handed in.
    m_strPathName = m_strFileName;
    GetDlgItem(IDC_PLAY)->setEnabled(false);
    m_strFilter = QStringLiteral("Wave Files (*.wav)|*.wav|") + CFileDialog::AllFilesFilterName() +
                  QStringLiteral("|*.*||");
    OnBrowse();
    return true;
}

void CSelectSoundFileDlg::OnBrowse() {
    CFileDialog dlg(true, QString(), QString(),
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_EXPLORER,
                    m_strFilter, nullptr);
    m_strFileBuffer.clear();
    dlg.m_ofn.strFile = m_strFileBuffer;
    dlg.m_ofn.nFilterIndex = 1;
    dlg.m_ofn.strInitialDir = m_strDirectory;
    if (dlg.DoModal() == IDOK) {
        m_strFileBuffer = dlg.GetPathName();
        m_strFileName = dlg.GetFileName();
        m_strPathName = dlg.GetPathName();
        SetDlgItemText(IDC_SOUND_FILE, m_strFileName);
    }
    GetDlgItem(IDC_PLAY)->setEnabled(!m_strPathName.isEmpty());
}

void CSelectSoundFileDlg::OnPlay() {
    PlaySound(m_strPathName, SND_FILENAME);
}
