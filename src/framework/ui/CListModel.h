#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

// The model under a CListCtrl. It holds no texts: it knows the columns, the
// number of records and which record each row shows, and asks its text
// source for a record's cell when the view paints it. So a list of any
// length fills at the same cost. Rows show the records in their own order
// unless the list gave another (SetRows: filtered, sorted).
class CListModel final : public QAbstractTableModel {
public:
    using TextSource = std::function<QString(int nRecord, int nColumn)>;

    explicit CListModel(QObject* parent = nullptr);

    void SetTextSource(TextSource source) { m_textSource = std::move(source); }

    // Inserts a column at nCol (clamped to the end); returns its index.
    int InsertColumn(int nCol, const QString& title, bool bRightAligned);
    bool IsRightAligned(int nCol) const;
    QString ColumnTitle(int nCol) const;
    void RemoveAllRows();
    // Records from now on, each on the row of its index; the rows beyond the
    // old count are new.
    void SetRowCount(int nRecords);
    // nRecords records from now on, and the ones the rows show, in order
    // (each below nRecords); nullptr: every record in its own order. Rows
    // that stay are changed, not removed, so the view keeps its layout.
    void SetRows(int nRecords, const QList<int>* pRows);
    int RecordCount() const { return m_nRecords; }
    // The record on a row, or -1; the row of a record, or -1 when no row
    // shows it.
    int RecordOfRow(int nRow) const;
    int RowOfRecord(int nRecord) const;
    QString CellText(int nRecord, int nCol) const;
    // Records shown in italics with note as their tool tip; takes effect at
    // the next SetRows.
    void SetMarkedRecords(const QList<int>& records, const QString& note);
    bool IsMarked(int nRecord) const { return m_marked.contains(nRecord); }
    // Whether a cell's tool tip is its whole text, for columns of sentences
    // that the column's width may cut.
    void SetTextToolTips(bool bOn) { m_bTextToolTips = bOn; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Column {
        QString title;
        bool bRightAligned;
    };

    // Takes nRecords records and the rows that show them (every record in
    // its own order when bIdentity), as one change of layout.
    void Rearrange(int nRecords, QList<int> rows, bool bIdentity);

    QList<Column> m_columns;
    int m_nRecords = 0;
    // Without an order of its own, row i shows record i.
    bool m_bIdentity = true;
    QList<int> m_rows;
    // Record -> row, -1 for a record no row shows; only with an order.
    QList<int> m_rowOfRecord;
    TextSource m_textSource;
    QSet<int> m_marked;
    QString m_strMarkNote;
    bool m_bTextToolTips = false;
};
