#pragma once

#include "framework/ui/CListView.h"

class CCmdUI;
class CKantelDoc;

// The resource list: one row per sound resource of the bank, nineteen
// columns of every field with the name and description from the names file.
// Plays samples and opens the property dialog of the selected resource.
class CKantelView : public CListView {
public:
    CKantelView();
    ~CKantelView() override;

    CKantelDoc* GetDocument() const;

    // Rebuilds all rows from the document and sets the frame's caption.
    void OnUpdate(IDocumentView* pSender, qintptr lHint, void* pHint) override;

    // The first selected row, or -1.
    int GetSelectedResource() const;

    void OnEditProperties();
    void OnSoundPlay();
    void OnUpdateEditProperties(CCmdUI* pCmdUI);

protected:
    QString GetCellText(int nItem, int nSubItem) const override;
    void OnDblclk() override;
    void OnKeydown(int nKey) override;
    void OnContextMenu(QWidget* pWnd, QPoint point) override;

private:
    void FillList();

    DECLARE_MESSAGE_MAP()
};
