#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>

// The model under a CListCtrl. It holds no texts: it knows the columns and
// the number of rows, and asks its text source for a cell when the view
// paints it. So a list of any length fills at the same cost.
class CListModel final : public QAbstractTableModel {
public:
    using TextSource = std::function<QString(int nRow, int nColumn)>;

    explicit CListModel(QObject* parent = nullptr);

    void SetTextSource(TextSource source) { m_textSource = std::move(source); }

    // Inserts a column at nCol (clamped to the end); returns its index.
    int InsertColumn(int nCol, const QString& title, bool bRightAligned);
    bool IsRightAligned(int nCol) const;
    QString ColumnTitle(int nCol) const;
    void RemoveAllRows();
    // Rows from now on; the rows beyond the old count are new.
    void SetRowCount(int nRows);
    QString CellText(int nRow, int nCol) const;

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

    QList<Column> m_columns;
    int m_nRows = 0;
    TextSource m_textSource;
};
