#include "CSampleResourceDlg.h"

#include "CSelectSoundFileDlg.h"
#include "CWaveHeaderCheck.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "format/CSoundImporter.h"
#include "format/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CIntegerText.h"
#include "framework/core/IProgressSink.h"
#include "framework/ui/CDataExchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cstring>

CSampleResourceDlg::CSampleResourceDlg(CKantelDoc* pDoc, SoundResource* pResource, int nIndex,
                                       QWidget* pParentWnd)
    : CDialog(IDD, pParentWnd), m_pResource(pResource), m_pDoc(pDoc), m_nIndex(nIndex) {}

CSampleResourceDlg::~CSampleResourceDlg() {
    ForgetImported();
}

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
    // The record names the new file now; it is the document's to keep.
    m_strImported.clear();
    EndDialog(IDOK);
}

void CSampleResourceDlg::OnCancel() {
    ForgetImported();
    CDialog::OnCancel();
}

void CSampleResourceDlg::ForgetImported() {
    if (!m_strImported.isEmpty()) {
        QFile::remove(m_strImported);
        m_strImported.clear();
    }
}

void CSampleResourceDlg::OnSelect() {
    CSelectSoundFileDlg dlg;
    dlg.m_strDirectory = m_pDoc != nullptr ? m_pDoc->GetBankFolder() : QString();
    dlg.m_strFileName = GetDlgItemText(IDC_FILE_NAME);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    const QString folder = m_pDoc != nullptr ? m_pDoc->GetBankFolder() : QString();
    const QString path = dlg.ChosenPath();
    const QFileInfo chosen(path);
    const bool inFolder = path.isEmpty() || QDir(chosen.absolutePath()) == QDir(folder);
    if (!inFolder) {
        ImportSound(path, dlg.m_bKeepRate != 0, dlg.m_bMatchLoudness != 0);
        return;
    }
    // The name as typed, when it is the file's but for its case.
    const QString name = chosen.fileName().compare(dlg.m_strFileName, Qt::CaseInsensitive) == 0
                             ? dlg.m_strFileName
                             : chosen.fileName();
    // A plain wave of the bank's folder is used as it is: the game finds an
    // external sample's data right after the 44-byte header.
    if (path.isEmpty() || !chosen.exists() ||
        (CSoundImporter::IsPlainWave(path) && name.size() <= SoundResource::kMaxFileName)) {
        ReadWaveHeader(name);
        return;
    }
    CWaveHeaderCheck::Header header;
    const CWaveHeaderCheck::Result check = CWaveHeaderCheck::CheckFile(path, header);
    if (check != CWaveHeaderCheck::Ok &&
        (m_pDoc == nullptr || !CSoundImporter::Describe(m_pDoc->ImportRequest(-1, path, {})))) {
        // Not a sound at all: the file's trouble in the dialog's own words.
        AfxMessageBox(CWaveHeaderCheck::Message(check, folder), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ImportSound(path, dlg.m_bKeepRate != 0, dlg.m_bMatchLoudness != 0);
}

void CSampleResourceDlg::ImportSound(const QString& path, bool bKeepRate, bool bMatchLoudness) {
    if (m_pDoc == nullptr) {
        return;
    }
    // The document's record is still the one the dialog opened with, so the
    // sound to match is the one the user saw before any Select.
    CSoundImporter::Request request =
        m_pDoc->ImportRequest(m_nIndex, path, {bKeepRate, bMatchLoudness && m_nIndex >= 0});
    // The format shown in the dialog, which may have come from an earlier
    // Select.
    request.target = {CIntegerText::AtoI(GetDlgItemText(IDC_CHANNELS)),
                      CIntegerText::AtoI(GetDlgItemText(IDC_SAMPLE_RATE)),
                      CIntegerText::AtoI(GetDlgItemText(IDC_BITS))};
    const CResult<QString> plan = CSoundImporter::Describe(request);
    if (!plan) {
        AfxMessageBox(plan.Error().text, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AfxMessageBox(plan.Value(), MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) {
        return;
    }
    const CResult<CSoundImporter::Imported> imported =
        CSoundImporter::Import(request, CSeam<IProgressSink>::Current());
    if (!imported) {
        AfxMessageBox(imported.Error().text, MB_OK | MB_ICONHAND);
        return;
    }
    const CSoundImporter::Imported& result = imported.Value();
    ForgetImported();
    m_strImported = request.folder + result.fileName;
    if (result.loudness && result.loudness->heldBack) {
        AfxMessageBox(QCoreApplication::translate("CSampleResourceDlg",
                                                  "%1 is quieter than the sound it replaces: %2.")
                          .arg(result.fileName, result.loudness->Text()),
                      MB_OK | MB_ICONINFORMATION);
    }
    const auto length = static_cast<int>(result.dataLength);
    ShowOffset(false);
    SetDlgItemText(IDC_RESOURCE_TYPE,
                   QCoreApplication::translate("CSampleResourceDlg", "Sound Sample (PCM)"));
    SetDlgItemInt(IDC_LENGTH, length);
    SetDlgItemInt(IDC_LOOP_START, result.hasLoop ? static_cast<int>(result.loopStart) : 0);
    SetDlgItemInt(IDC_LOOP_LENGTH, result.hasLoop ? static_cast<int>(result.loopLength) : length);
    if (auto* looped = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_LOOPED));
        looped != nullptr && result.hasLoop) {
        looped->setChecked(true);
    }
    SetDlgItemInt(IDC_SAMPLE_RATE, result.format.samplesPerSec);
    SetDlgItemInt(IDC_BITS, result.format.bitsPerSample);
    SetDlgItemInt(IDC_CHANNELS, result.format.channels);
    SetDlgItemText(IDC_FILE_NAME, result.fileName);
}

void CSampleResourceDlg::OnSelchangeType() {
    ShowOffset(false);
}

void CSampleResourceDlg::LoadFromResource() {
    const SoundResource& r = *m_pResource;
    m_strResourceId = QString::asprintf("%d", r.resourceId);
    m_strType = QCoreApplication::translate("CSampleResourceDlg", "Sound Sample");
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
    if (!m_strImported.isEmpty()) {
        r.waveFormat = SoundResource::kWaveFormatPcm;
    }
}

void CSampleResourceDlg::ShowOffset(bool bAtOpening) {
    const auto* list = qobject_cast<const QComboBox*>(GetDlgItem(IDC_STORAGE));
    const int selection = list != nullptr ? list->currentIndex() : -1;
    if (selection == SoundResource::kStorageExternal) {
        SetDlgItemInt(IDC_OFFSET, SoundResource::kExternalOffset);
    } else if (bAtOpening) {
        SetDlgItemInt(IDC_OFFSET, m_pResource->offset);
    } else {
        SetDlgItemText(IDC_OFFSET,
                       QCoreApplication::translate("CSampleResourceDlg", "Not known yet"));
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
    if (header.dataClaimed > header.dataSize) {
        // A length the file cannot give would go into the record; what is
        // there is what a save can pack.
        AfxMessageBox(
            QCoreApplication::translate("CSampleResourceDlg",
                                        "The data chunk of %1 claims %2 bytes, but the file holds "
                                        "only %3; the sample takes the %3 bytes that are there.")
                .arg(fileName)
                .arg(header.dataClaimed)
                .arg(header.dataSize),
            MB_OK | MB_ICONEXCLAMATION);
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
