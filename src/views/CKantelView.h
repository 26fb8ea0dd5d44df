#pragma once

#include "CBankListView.h"

class CCmdUI;

// The resource list: one row per sound resource of the bank, nineteen
// columns of every field with the name and description from the names file.
// Plays samples, opens the property dialog of the selected resource and
// exports samples as wave files.
class CKantelView : public CBankListView {
public:
    CKantelView();
    ~CKantelView() override;

    // The first selected row, or -1.
    int GetSelectedResource() const;

    void OnEditProperties();
    void OnSoundPlay();
    void OnUpdateEditProperties(CCmdUI* pCmdUI);
    // Export Sounds: the selected sample or all of them, into a folder the
    // user picks.
    void OnSoundExport();
    void OnUpdateSoundExport(CCmdUI* pCmdUI);

protected:
    void OnDblclk() override;
    void OnKeydown(int nKey) override;
    void OnContextMenu(QWidget* pWnd, QPoint point) override;

private:
    DECLARE_MESSAGE_MAP()
};
