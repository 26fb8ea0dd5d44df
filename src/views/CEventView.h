#pragma once

#include "framework/ui/CListView.h"

class CCmdUI;
class CKantelDoc;

// The event list: one row per sound event of the bank, eight columns, with
// readable labels for the targets. Pitch and Volume events can be edited.
class CEventView : public CListView {
public:
    CEventView();
    ~CEventView() override;

    CKantelDoc* GetDocument() const;

    // Rebuilds all rows from the document and sets the frame's caption.
    void OnUpdate(IDocumentView* pSender, qintptr lHint, void* pHint) override;

    // The first selected row, or -1.
    int GetSelectedEvent() const;

    void OnEditProperties();
    void OnUpdateEditProperties(CCmdUI* pCmdUI);

protected:
    QString GetCellText(int nItem, int nSubItem) const override;
    void OnDblclk() override;
    void OnContextMenu(QWidget* pWnd, QPoint point) override;

private:
    void FillList();

    DECLARE_MESSAGE_MAP()
};
