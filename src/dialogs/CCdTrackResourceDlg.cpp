#include "CCdTrackResourceDlg.h"

#include "format/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CDataExchange.h"

#include <QCoreApplication>

CCdTrackResourceDlg::CCdTrackResourceDlg(SoundResource* pResource, QWidget* pParentWnd)
    : CDialog(IDD, pParentWnd), m_pResource(pResource) {}

CCdTrackResourceDlg::~CCdTrackResourceDlg() = default;

void CCdTrackResourceDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RESOURCE_ID, m_strResourceId);
    DDX_Text(pDX, IDC_RESOURCE_TYPE, m_strType);
    DDX_Text(pDX, IDC_CD_TRACK, m_nCdTrack);
    DDV_MinMaxInt(pDX, m_nCdTrack, 2, 17);
}

bool CCdTrackResourceDlg::OnInitDialog() {
    if (m_pResource == nullptr || m_pResource->type != SoundResource::kTypeCdAudio) {
        EndDialog(3);
        return false;
    }
    m_strResourceId = QString::asprintf("%d", m_pResource->resourceId);
    m_strType = QCoreApplication::translate("CCdTrackResourceDlg", "CD Audio");
    m_nCdTrack = m_pResource->cdTrack;
    return CDialog::OnInitDialog();
}

void CCdTrackResourceDlg::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    // Only the low half of the word is the track; the other half is kept.
    m_pResource->cdTrack = static_cast<quint16>(m_nCdTrack);
    EndDialog(IDOK);
}
