#include "CDiffView.h"

#include "CEventView.h"
#include "CKantelView.h"
#include "CRecordGoTo.h"

#include "doc/CKantelDoc.h"
#include "format/CBankSnapshot.h"
#include "framework/core/CPlural.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMDIFrameWnd.h"
#include "framework/ui/CWinApp.h"
#include "res/resource.h"

#include <QCoreApplication>

namespace {

using Record = CBankComparer::Difference::Record;

} // namespace

CDiffView::CDiffView() = default;

CDiffView::~CDiffView() = default;

CKantelDoc* CDiffView::GetDocument() const {
    return static_cast<CKantelDoc*>(CListView::GetDocument());
}

void CDiffView::SetOtherBank(std::unique_ptr<CBankSnapshot> other) {
    m_pOther = std::move(other);
}

void CDiffView::OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    if (list.GetColumnCount() == 0) {
        list.InsertColumn(Record, QCoreApplication::translate("CDiffView", "Record"), LVCFMT_LEFT,
                          180);
        list.InsertColumn(Difference, QCoreApplication::translate("CDiffView", "Difference"),
                          LVCFMT_LEFT, 600);
    }
    const CKantelDoc* pDoc = GetDocument();
    m_differences.clear();
    if (pDoc != nullptr && m_pOther != nullptr) {
        m_differences =
            CBankComparer(pDoc->ComparisonBank(), m_pOther->ComparisonBank()).Compare().differences;
    }
    list.SetItemCount(static_cast<int>(m_differences.size()));
    if (pDoc == nullptr || m_pOther == nullptr || GetParentFrame() == nullptr) {
        return;
    }
    const int n = static_cast<int>(m_differences.size());
    QString caption =
        n == 0 ? QCoreApplication::translate("CDiffView", "%1 - No Differences with %2")
                     .arg(pDoc->GetTitle(), m_pOther->Path())
               : CPlural::Text("CDiffView",
                               QT_TRANSLATE_N_NOOP("CDiffView", "%1 - %n Difference(s) with %2"), n)
                     .arg(pDoc->GetTitle(), m_pOther->Path());
    if (pDoc->IsModified()) {
        caption += QStringLiteral(" *");
    }
    GetParentFrame()->SetWindowText(caption);
}

QString CDiffView::GetCellText(int nItem, int nSubItem) const {
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_differences.size()) {
        return QString();
    }
    const CBankComparer::Difference& d = m_differences[static_cast<size_t>(nItem)];
    return nSubItem == Record ? d.label : d.text;
}

void CDiffView::OnDblclk() {
    const int selected = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    if (selected >= 0) {
        GoToRecord(selected);
    }
}

void CDiffView::OnKeydown(int nKey) {
    if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter) {
        OnDblclk();
    }
}

bool CDiffView::GoToRecord(int row) {
    CKantelDoc* pDoc = GetDocument();
    if (pDoc == nullptr || row < 0 || static_cast<size_t>(row) >= m_differences.size()) {
        return false;
    }
    const CBankComparer::Difference d = m_differences[static_cast<size_t>(row)];
    // A names-file difference is about the resource at that index.
    const bool resource = d.record == Record::Resource || d.record == Record::Name;
    if (!resource && d.record != Record::Event) {
        return false;
    }
    const int count = static_cast<int>(resource ? pDoc->Resources().size() : pDoc->Events().size());
    if (d.index < 0 || d.index >= count) {
        return false; // only the other bank has it
    }
    return CRecordGoTo::Go(*this, *pDoc, resource, d.index);
}
