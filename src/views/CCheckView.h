#pragma once

#include "format/CBankChecker.h"

#include "framework/ui/CListView.h"

#include <vector>

class CKantelDoc;

// The findings of Check Bank as a list window: one row a finding, with the
// record and the sentence. Double-clicking a finding about a resource or an
// event selects that record in a list of the same bank, opening one when the
// bank has none.
class CCheckView : public CListView {
public:
    enum Column { Record, Finding, ColumnCount };

    CCheckView();
    ~CCheckView() override;

    CKantelDoc* GetDocument() const;

    // Checks the bank again and lists what was found: every change of the
    // bank may have mended or made a finding.
    void OnUpdate(IDocumentView* pSender, qintptr lHint, void* pHint) override;

    const std::vector<CBankChecker::Finding>& GetFindings() const { return m_findings; }
    // Selects the record of finding row in a resource or event list of the
    // bank and activates its window; false for a finding that has no such
    // record (one about the bank or its names file).
    bool GoToRecord(int row);

protected:
    QString GetCellText(int nItem, int nSubItem) const override;
    void OnDblclk() override;
    // Enter goes to the record, as a double-click does.
    void OnKeydown(int nKey) override;

private:
    // What the last check found. The check reads the folder's files, so it
    // runs once a rebuild, not for every cell painted.
    std::vector<CBankChecker::Finding> m_findings;
};
