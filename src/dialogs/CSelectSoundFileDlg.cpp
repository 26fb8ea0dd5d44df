#include "CSelectSoundFileDlg.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CPathCase.h"
#include "framework/ui/CDataExchange.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/PlaySound.h"

#include <QCoreApplication>
#include <QFileInfo>

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
    DDX_Check(pDX, IDC_KEEP_RATE, m_bKeepRate);
    DDX_Check(pDX, IDC_MATCH_LOUDNESS, m_bMatchLoudness);
}

bool CSelectSoundFileDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Until the browser delivers a path, Play looks for the name handed in
    // where the sample dialog will look for it: in the bank's folder, not in
    // whatever folder the program was started from.
    m_strPathName = FileInDirectory(m_strFileName);
    GetDlgItem(IDC_PLAY)->setEnabled(false);
    m_strFilter = QCoreApplication::translate(
                      "CSelectSoundFileDlg",
                      "Wave Files (*.wav)|*.wav|"
                      "Sound Files (*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus *.mp3)|"
                      "*.wav;*.aif;*.aiff;*.flac;*.ogg;*.oga;*.opus;*.mp3|") +
                  CFileDialog::AllFilesFilterName() + QStringLiteral("|*.*||");
    OnBrowse();
    return true;
}

QString CSelectSoundFileDlg::FileInDirectory(const QString& name) const {
    if (name.isEmpty()) {
        return QString();
    }
    const QString path = m_strDirectory + name;
    const QString existing = CPathCase::ResolveExisting(path);
    return existing.isEmpty() ? path : existing;
}

QString CSelectSoundFileDlg::ChosenPath() const {
    if (!m_strFileBuffer.isEmpty() && QFileInfo(m_strFileBuffer).fileName() == m_strFileName) {
        return m_strFileBuffer;
    }
    return FileInDirectory(m_strFileName);
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
