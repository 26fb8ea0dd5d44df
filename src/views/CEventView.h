#pragma once

#include "CBankListView.h"

class CCmdUI;

// The event list: one row per sound event of the bank, eight columns, with
// readable labels for the targets. Pitch and Volume events can be edited.
class CEventView : public CBankListView {
public:
    CEventView();
    ~CEventView() override;

    // The first selected row, or -1.
    int GetSelectedEvent() const;

    void OnEditProperties();
    void OnUpdateEditProperties(CCmdUI* pCmdUI);

protected:
    void OnDblclk() override;
    void OnContextMenu(QWidget* pWnd, QPoint point) override;

private:
    DECLARE_MESSAGE_MAP()
};
