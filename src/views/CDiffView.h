#pragma once

#include "format/CBankComparer.h"

#include "framework/ui/CListView.h"

#include <memory>
#include <vector>

class CBankSnapshot;
class CKantelDoc;

// The differences between the open bank and another bank file as a list
// window: one row a difference, with the record and what differs. The open
// bank is compared as it is now, so every edit compares again; double-click
// or Enter on a row selects its record in a list of the open bank, opening
// one when the bank has none.
class CDiffView : public CListView {
public:
    enum Column { Record, Difference, ColumnCount };

    CDiffView();
    ~CDiffView() override;

    CKantelDoc* GetDocument() const;

    // The bank the open one is compared with; the view owns it from now on.
    // Set before the window's first update.
    void SetOtherBank(std::unique_ptr<CBankSnapshot> other);

    void OnUpdate(IDocumentView* pSender, qintptr lHint, void* pHint) override;

    const std::vector<CBankComparer::Difference>& GetDifferences() const { return m_differences; }
    // Selects the record of row in a resource or event list of the open bank
    // and activates its window; false for the header, or a record only the
    // other bank has.
    bool GoToRecord(int row);

protected:
    QString GetCellText(int nItem, int nSubItem) const override;
    void OnDblclk() override;
    void OnKeydown(int nKey) override;

private:
    std::unique_ptr<CBankSnapshot> m_pOther;
    // What the last comparison found: it reads wave files, so it runs once
    // a rebuild, not for every cell painted.
    std::vector<CBankComparer::Difference> m_differences;
};
