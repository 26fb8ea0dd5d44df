#pragma once

#include "ListColumn.h"

#include "framework/ui/CListView.h"

#include <QString>

class CBankRecords;
class CKantelDoc;

// What the resource and event lists have in common: a table of cell texts
// computed from the bank, the frame's caption naming the kind of list, the
// selected record, and the context menu at the selection.
class CBankListView : public CListView {
public:
    // The cell texts of one kind of list.
    struct CellTable {
        const ListColumn* pColumns;
        int nColumns;
        int (*rowCount)(const CBankRecords& records);
        QString (*text)(const CBankRecords& records, int row, int column);
        // Every cell of a row, each followed by a line break; may be null.
        void (*rowText)(const CBankRecords& records, int row, QString& out) = nullptr;
    };

    ~CBankListView() override;

    CKantelDoc* GetDocument() const;

    // Rebuilds all rows from the document and sets the frame's caption.
    void OnUpdate(IDocumentView* pSender, qintptr lHint, void* pHint) override;

protected:
    // captionSuffix follows the document's title in the frame's caption.
    CBankListView(QString captionSuffix, const CellTable& table);

    QString GetCellText(int nItem, int nSubItem) const override;
    bool GetRowText(int nItem, QString& text) const override;

    // The first selected row if it is a record of the document, or -1.
    int GetSelectedRow() const;

    // Shows popup nPopup of the context menu at point; from the keyboard
    // (point (-1, -1)) at the centre of the selected row's label.
    void ShowContextMenu(int nPopup, QPoint point);

private:
    void FillList();

    QString m_strCaptionSuffix;
    CellTable m_table;
};
