#include "CHeaderInfoDlg.h"

#include "format/BnmHeaderFigures.h"
#include "framework/ui/CDataExchange.h"

CHeaderInfoDlg::CHeaderInfoDlg(QWidget* pParentWnd) : CDialog(IDD, pParentWnd) {}

CHeaderInfoDlg::~CHeaderInfoDlg() = default;

void CHeaderInfoDlg::ShowFigures(const BnmHeaderFigures& figures) {
    CHeaderInfoDlg dlg;
    dlg.m_strSampleDataOffset = figures.sampleDataOffset;
    dlg.m_strResourceTableOffset = figures.resourceTableOffset;
    dlg.m_strFileLength = figures.fileLength;
    dlg.m_strResourceCount = figures.resourceCount;
    dlg.m_strEventTableOffset = figures.eventTableOffset;
    dlg.m_strEventCount = figures.eventCount;
    dlg.DoModal();
}

void CHeaderInfoDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SAMPLE_DATA_OFFSET, m_strSampleDataOffset);
    DDX_Text(pDX, IDC_RESOURCE_TABLE_OFFSET, m_strResourceTableOffset);
    DDX_Text(pDX, IDC_FILE_LENGTH, m_strFileLength);
    DDX_Text(pDX, IDC_RESOURCE_COUNT, m_strResourceCount);
    DDX_Text(pDX, IDC_EVENT_TABLE_OFFSET, m_strEventTableOffset);
    DDX_Text(pDX, IDC_EVENT_COUNT, m_strEventCount);
}
