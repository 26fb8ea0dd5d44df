#include "CSampleResourceDlg.h"

#include "CSelectSoundFileDlg.h"
#include "CWaveHeaderCheck.h"

#include "doc/CBnmFormat.h"
#include "doc/CKantelDoc.h"
#include "doc/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CIntegerText.h"
#include "framework/ui/CDataExchange.h"

#include <QComboBox>

#include <array>
#include <cstring>

CSampleResourceDlg::CSampleResourceDlg(CKantelDoc* pDoc, SoundResource* pResource,
                                       QWidget* pParentWnd)
    : CDialog(IDD, pParentWnd), m_pResource(pResource), m_pDoc(pDoc) {}

CSampleResourceDlg::~CSampleResourceDlg() = default;

std::span<const CDialog::MessageEntry> CSampleResourceDlg::GetMessageMap() const {
    static const std::array map{
        Notify(IDC_SELECT, BN_CLICKED, &CSampleResourceDlg::OnSelect),
        Notify(IDC_STORAGE, CBN_SELCHANGE, &CSampleResourceDlg::OnSelchangeType),
    };
    return map;
}

void CSampleResourceDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RESOURCE_ID, m_strResourceId);
    DDX_Check(pDX, IDC_LOOPED, m_bLooped);
    DDX_CBIndex(pDX, IDC_STORAGE, m_nStorage);
    DDX_Text(pDX, IDC_VOLUME, m_nVolume);
    DDV_MinMaxInt(pDX, m_nVolume, 0, 127);
    DDX_Text(pDX, IDC_LOOP_LENGTH, m_nLoopLength);
    DDX_Text(pDX, IDC_LOOP_START, m_nLoopStart);
    DDX_Text(pDX, IDC_LENGTH, m_nLength);
    DDX_Text(pDX, IDC_RESOURCE_TYPE, m_strType);
    DDX_Text(pDX, IDC_FILE_NAME, m_strFileName);
    DDV_MaxChars(pDX, m_strFileName, SoundResource::kMaxFileName);
    DDX_Text(pDX, IDC_BITS, m_strBits);
    DDX_Text(pDX, IDC_CHANNELS, m_strChannels);
    DDX_Text(pDX, IDC_SAMPLE_RATE, m_strSampleRate);
}

bool CSampleResourceDlg::OnInitDialog() {
    if (m_pResource == nullptr || m_pResource->type != SoundResource::kTypeSample) {
        EndDialog(3);
        return false;
    }
    LoadFromResource();
    // Before the framework's initialisation the list is still empty, so the
    // box shows the stored offset whatever the storage.
    ShowOffset(true);
    return CDialog::OnInitDialog();
}

void CSampleResourceDlg::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    StoreToResource();
    EndDialog(IDOK);
}

void CSampleResourceDlg::OnSelect() {
    CSelectSoundFileDlg dlg;
    dlg.m_strDirectory = m_pDoc != nullptr ? m_pDoc->GetBankFolder() : QString();
    dlg.m_strFileName = GetDlgItemText(IDC_FILE_NAME);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    ReadWaveHeader(dlg.m_strFileName);
}

void CSampleResourceDlg::OnSelchangeType() {
    ShowOffset(false);
}

void CSampleResourceDlg::LoadFromResource() {
    const SoundResource& r = *m_pResource;
    m_strResourceId = QString::asprintf("%d", r.resourceId);
    m_strType = QStringLiteral("Sound Sample");
    if (r.waveFormat == SoundResource::kWaveFormatPcm) {
        m_strType += QStringLiteral(" (PCM)");
    }
    m_bLooped = r.looped;
    m_nLoopStart = r.loopStart;
    m_nLoopLength = r.loopLength;
    m_strFileName = CBnmFormat::FileNameText(r);
    m_nStorage = r.storage;
    m_nLength = r.length;
    m_nVolume = r.volume;
    m_strSampleRate = QString::asprintf("%d", r.samplesPerSec);
    m_strChannels = QString::asprintf("%d", static_cast<int>(r.channels));
    m_strBits = QString::asprintf("%d", static_cast<int>(r.bitsPerSample));
}

void CSampleResourceDlg::StoreToResource() {
    SoundResource& r = *m_pResource;
    r.storage = m_nStorage;
    r.looped = m_bLooped;
    r.loopStart = m_nLoopStart;
    r.loopLength = m_nLoopLength;
    // Fifteen characters and their zero fill; the sixteenth byte is not
    // the dialog's to change.
    const QByteArray name = m_strFileName.left(SoundResource::kMaxFileName).toLatin1();
    std::memset(r.fileName, 0, SoundResource::kMaxFileName);
    std::memcpy(r.fileName, name.constData(), static_cast<std::size_t>(name.size()));
    r.length = m_nLength;
    r.volume = static_cast<quint8>(m_nVolume & 0x7F);
    r.samplesPerSec = CIntegerText::AtoI(m_strSampleRate);
    r.channels = static_cast<quint16>(CIntegerText::AtoI(m_strChannels));
    r.bitsPerSample = static_cast<quint16>(CIntegerText::AtoI(m_strBits));
}

void CSampleResourceDlg::ShowOffset(bool bAtOpening) {
    const auto* list = qobject_cast<const QComboBox*>(GetDlgItem(IDC_STORAGE));
    const int selection = list != nullptr ? list->currentIndex() : -1;
    if (selection == SoundResource::kStorageExternal) {
        SetDlgItemInt(IDC_OFFSET, SoundResource::kExternalOffset);
    } else if (bAtOpening) {
        SetDlgItemInt(IDC_OFFSET, m_pResource->offset);
    } else {
        SetDlgItemText(IDC_OFFSET, QStringLiteral("Not known yet"));
    }
}

void CSampleResourceDlg::ReadWaveHeader(const QString& fileName) {
    // Whatever folder the browser was in, the file must be the bank's.
    const QString folder = m_pDoc != nullptr ? m_pDoc->GetBankFolder() : QString();
    CWaveHeaderCheck::Header header;
    const CWaveHeaderCheck::Result result = CWaveHeaderCheck::CheckFile(folder + fileName, header);
    if (result != CWaveHeaderCheck::Ok) {
        AfxMessageBox(CWaveHeaderCheck::Message(result, folder), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ShowOffset(false);
    SetDlgItemInt(IDC_LENGTH, header.dataSize);
    SetDlgItemInt(IDC_LOOP_START, 0);
    SetDlgItemInt(IDC_LOOP_LENGTH, header.dataSize);
    SetDlgItemInt(IDC_SAMPLE_RATE, header.samplesPerSec);
    SetDlgItemInt(IDC_BITS, header.bitsPerSample);
    SetDlgItemInt(IDC_CHANNELS, header.channels);
    SetDlgItemText(IDC_FILE_NAME, fileName);
}
