#include "CCheckView.h"

#include "CEventView.h"
#include "CKantelView.h"
#include "CRecordGoTo.h"

#include "doc/CKantelDoc.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CListModel.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMDIFrameWnd.h"
#include "framework/ui/CWinApp.h"
#include "res/resource.h"

#include <QCoreApplication>
#include <QHeaderView>

namespace {

using Record = CBankChecker::Finding::Record;

} // namespace

CCheckView::CCheckView() = default;

CCheckView::~CCheckView() = default;

CKantelDoc* CCheckView::GetDocument() const {
    return static_cast<CKantelDoc*>(CListView::GetDocument());
}

void CCheckView::OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    if (list.GetColumnCount() == 0) {
        list.InsertColumn(Record, QCoreApplication::translate("CCheckView", "Record"), LVCFMT_LEFT,
                          150);
        list.InsertColumn(Finding, QCoreApplication::translate("CCheckView", "Finding"),
                          LVCFMT_LEFT, 700);
        // A finding is a sentence: it takes the window's whole width, and
        // what a narrow window still cuts is in its tool tip.
        list.header()->setStretchLastSection(true);
        list.GetModel()->SetTextToolTips(true);
    }
    const CKantelDoc* pDoc = GetDocument();
    m_findings = pDoc != nullptr ? pDoc->CheckBank() : std::vector<CBankChecker::Finding>();
    list.SetItemCount(static_cast<int>(m_findings.size()));
    if (pDoc == nullptr || GetParentFrame() == nullptr) {
        return;
    }
    QString caption = pDoc->GetTitle() + QCoreApplication::translate("CCheckView", " - Check Bank");
    if (pDoc->IsModified()) {
        caption += QStringLiteral(" *");
    }
    GetParentFrame()->SetWindowText(caption);
}

QString CCheckView::GetCellText(int nItem, int nSubItem) const {
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_findings.size()) {
        return QString();
    }
    const CBankChecker::Finding& finding = m_findings[static_cast<size_t>(nItem)];
    return nSubItem == Record ? CBankChecker::RecordLabel(finding) : finding.text;
}

void CCheckView::OnDblclk() {
    const int selected = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    if (selected >= 0) {
        GoToRecord(selected);
    }
}

void CCheckView::OnKeydown(int nKey) {
    if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter) {
        OnDblclk();
    }
}

bool CCheckView::GoToRecord(int row) {
    CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || row < 0 || static_cast<size_t>(row) >= m_findings.size()) {
        return false;
    }
    const CBankChecker::Finding finding = m_findings[static_cast<size_t>(row)];
    const bool resource = finding.record == Record::Resource;
    if (!resource && finding.record != Record::Event) {
        return false;
    }
    return CRecordGoTo::Go(*this, *pDoc, resource, finding.index);
}
