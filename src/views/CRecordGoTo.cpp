#include "CRecordGoTo.h"

#include "CEventView.h"
#include "CKantelView.h"

#include "doc/CKantelDoc.h"
#include "framework/ui/AfxWin.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMDIFrameWnd.h"
#include "framework/ui/CWinApp.h"
#include "res/resource.h"

namespace {

template <class View> View* FindView(const CKantelDoc& doc) {
    for (IDocumentView* pView : doc.GetViews()) {
        if (auto* pFound = dynamic_cast<View*>(pView)) {
            return pFound;
        }
    }
    return nullptr;
}

} // namespace

bool CRecordGoTo::Go(CView& from, CKantelDoc& doc, bool resource, int index) {
    const auto find = [&doc, resource]() -> CListView* {
        if (resource) {
            return FindView<CKantelView>(doc);
        }
        return FindView<CEventView>(doc);
    };
    CListView* pView = find();
    if (pView == nullptr) {
        if (from.GetParentFrame() != nullptr) {
            from.GetParentFrame()->MDIActivate();
        }
        AfxGetMainWnd()->OnCommand(resource ? ID_WINDOW_NEW : ID_WINDOW_NEW_EVENT_VIEW);
        pView = find();
        if (pView == nullptr) {
            return false;
        }
    }
    if (pView->GetParentFrame() != nullptr) {
        pView->GetParentFrame()->MDIActivate();
    }
    CListCtrl& list = pView->GetListCtrl();
    if (index < 0 || index >= list.GetItemCount()) {
        return false;
    }
    list.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.scrollTo(list.model()->index(index, 0));
    list.setFocus();
    return true;
}
