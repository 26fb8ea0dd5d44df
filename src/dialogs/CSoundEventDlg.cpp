#include "CSoundEventDlg.h"

#include "format/SoundEvent.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CDataExchange.h"

#include <QCoreApplication>

#include <array>

CSoundEventDlg::CSoundEventDlg(SoundEvent* pEvent, QWidget* pParentWnd)
    : CDialog(IDD, pParentWnd), m_pEvent(pEvent) {}

CSoundEventDlg::~CSoundEventDlg() = default;

std::span<const CDialog::MessageEntry> CSoundEventDlg::GetMessageMap() const {
    static const std::array map{
        Notify(IDC_PARAM2, EN_CHANGE, &CSoundEventDlg::OnChangeParam2),
        Notify(IDC_PARAM3, EN_CHANGE, &CSoundEventDlg::OnChangeParam3),
    };
    return map;
}

void CSoundEventDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_BANK_NUMBER, m_nBankNumber);
    DDV_MinMaxInt(pDX, m_nBankNumber, 0, 3);
    DDX_Text(pDX, IDC_EVENT_ID, m_strEventId);
    DDX_Text(pDX, IDC_PARAM2, m_nParam2);
    CheckParam(pDX, m_nParam2, m_pEvent->param2);
    DDX_Text(pDX, IDC_PARAM3, m_nParam3);
    CheckParam(pDX, m_nParam3, m_pEvent->param3);
    DDX_Text(pDX, IDC_EVENT_TYPE, m_strType);
    DDX_Text(pDX, IDC_TARGET_INDEX, m_nTargetIndex);
    DDV_MinMaxInt(pDX, m_nTargetIndex, 0, 65535);
    DDX_Check(pDX, IDC_STOPABLE, m_bStopable);
    DDX_Check(pDX, IDC_DYNAMIC, m_bDynamic);
}

bool CSoundEventDlg::OnInitDialog() {
    if (m_pEvent == nullptr) {
        EndDialog(3);
        return false;
    }
    const SoundEvent& e = *m_pEvent;
    m_strEventId = QString::asprintf("%d", e.eventId);
    m_bStopable = e.stopable;
    m_bDynamic = e.dynamic;
    if (e.type == SoundEvent::kTypePitch) {
        m_strType = QCoreApplication::translate("CSoundEventDlg", "Pitch");
    } else if (e.type == SoundEvent::kTypeVolume) {
        m_strType = QCoreApplication::translate("CSoundEventDlg", "Volume");
    } else {
        EndDialog(3);
        return false;
    }
    m_nTargetIndex = static_cast<int>(e.param1 & 0xFFFFU);
    m_nBankNumber = static_cast<int>(e.param1 >> 16U);
    m_nParam2 = e.param2;
    m_nParam3 = e.param3;
    CDialog::OnInitDialog();
    if (e.type == SoundEvent::kTypePitch) {
        // A pitch above 1.0 plays the sound faster; only a volume stops at 1.0.
        SetDlgItemText(IDC_PARAM_RANGE,
                       QCoreApplication::translate("CSoundEventDlg", "Range 0 - 4294967295"));
    }
    OnChangeParam2();
    OnChangeParam3();
    return true;
}

void CSoundEventDlg::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    StoreToEvent();
    EndDialog(IDOK);
}

void CSoundEventDlg::OnChangeParam2() {
    ShowFraction(IDC_PARAM2, IDC_PARAM2_FRACTION);
}

void CSoundEventDlg::OnChangeParam3() {
    ShowFraction(IDC_PARAM3, IDC_PARAM3_FRACTION);
}

void CSoundEventDlg::CheckParam(CDataExchange* pDX, quint32 value, quint32 stored) const {
    // The game wrote the stored word; refusing it would make every other
    // field of the event uneditable without flattening it.
    if (m_pEvent->type == SoundEvent::kTypeVolume && value != stored) {
        DDV_MinMaxUInt(pDX, value, 0, 65536);
    }
}

void CSoundEventDlg::ShowFraction(int nEdit, int nFraction) {
    // Unsigned, as the list reads the word; an unreadable box shows 0.
    const auto value = static_cast<quint32>(GetDlgItemInt(nEdit, nullptr, false));
    SetDlgItemText(nFraction, QString::asprintf("%8.6f", value * (1.0 / 65536.0)));
}

void CSoundEventDlg::StoreToEvent() {
    SoundEvent& e = *m_pEvent;
    e.stopable = m_bStopable != 0 ? 1 : 0;
    e.dynamic = m_bDynamic != 0 ? 1 : 0;
    e.param1 = (static_cast<quint32>(m_nBankNumber) << 16U) | static_cast<quint32>(m_nTargetIndex);
    e.param2 = m_nParam2;
    e.param3 = m_nParam3;
}
