#include "CListModel.h"

#include <QFont>

#include <algorithm>

namespace {

// As an int: that is what the item delegates read.
int Alignment(bool bRightAligned) {
    return static_cast<int>((bRightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

} // namespace

CListModel::CListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CListModel::InsertColumn(int nCol, const QString& title, bool bRightAligned) {
    const int at = std::clamp(nCol, 0, static_cast<int>(m_columns.size()));
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.insert(at, Column{title, bRightAligned});
    endInsertColumns();
    return at;
}

bool CListModel::IsRightAligned(int nCol) const {
    return nCol >= 0 && nCol < m_columns.size() && m_columns.at(nCol).bRightAligned;
}

QString CListModel::ColumnTitle(int nCol) const {
    return nCol >= 0 && nCol < m_columns.size() ? m_columns.at(nCol).title : QString();
}

void CListModel::RemoveAllRows() {
    // Removing rows, unlike resetting the model, leaves the header alone, so
    // the widths the user gave the columns survive every refill.
    const int nRows = rowCount();
    if (nRows > 0) {
        beginRemoveRows(QModelIndex(), 0, nRows - 1);
    }
    m_nRecords = 0;
    m_bIdentity = true;
    m_rows.clear();
    m_rowOfRecord.clear();
    if (nRows > 0) {
        endRemoveRows();
    }
}

void CListModel::SetRowCount(int nRecords) {
    nRecords = std::max(nRecords, 0);
    if (!m_bIdentity) {
        // The order was for other records.
        SetRows(nRecords, nullptr);
        return;
    }
    if (nRecords > m_nRecords) {
        beginInsertRows(QModelIndex(), m_nRecords, nRecords - 1);
        m_nRecords = nRecords;
        endInsertRows();
    } else if (nRecords < m_nRecords) {
        beginRemoveRows(QModelIndex(), nRecords, m_nRecords - 1);
        m_nRecords = nRecords;
        endRemoveRows();
    }
}

void CListModel::SetRows(int nRecords, const QList<int>* pRows) {
    nRecords = std::max(nRecords, 0);
    if (pRows == nullptr && m_bIdentity) {
        SetRowCount(nRecords);
        return;
    }
    if (pRows == nullptr) {
        Rearrange(nRecords, {}, true);
    } else {
        Rearrange(nRecords, *pRows, false);
    }
}

void CListModel::Rearrange(int nRecords, QList<int> rows, bool bIdentity) {
    // One change of layout, whatever the counts: the tree lays the rows out
    // once, where a removal, an insertion and a change of every row's data
    // would each cost it a walk over all of them. Persistent indexes (the
    // selection, the current row) follow their records, or go with them.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> records;
    records.reserve(before.size());
    for (const QModelIndex& index : before) {
        records.append(RecordOfRow(index.row()));
    }
    m_nRecords = nRecords;
    m_bIdentity = bIdentity;
    m_rows = std::move(rows);
    m_rowOfRecord.clear();
    if (!m_bIdentity) {
        m_rowOfRecord.fill(-1, m_nRecords);
        for (int row = 0; row < m_rows.size(); ++row) {
            const int record = m_rows.at(row);
            if (record >= 0 && record < m_nRecords) {
                m_rowOfRecord[record] = row;
            }
        }
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i) {
        const int row = RowOfRecord(records.at(i));
        after.append(row >= 0 ? index(row, before.at(i).column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CListModel::RecordOfRow(int nRow) const {
    if (nRow < 0 || nRow >= rowCount()) {
        return -1;
    }
    return m_bIdentity ? nRow : m_rows.at(nRow);
}

int CListModel::RowOfRecord(int nRecord) const {
    if (nRecord < 0 || nRecord >= m_nRecords) {
        return -1;
    }
    return m_bIdentity ? nRecord : m_rowOfRecord.at(nRecord);
}

QString CListModel::CellText(int nRecord, int nCol) const {
    if (nRecord < 0 || nRecord >= m_nRecords || nCol < 0 || nCol >= m_columns.size() ||
        !m_textSource) {
        return QString();
    }
    return m_textSource(nRecord, nCol);
}

int CListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return m_bIdentity ? m_nRecords : static_cast<int>(m_rows.size());
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return CellText(RecordOfRow(index.row()), index.column());
    case Qt::TextAlignmentRole:
        return Alignment(IsRightAligned(index.column()));
    case Qt::FontRole:
        if (!m_marked.isEmpty() && m_marked.contains(RecordOfRow(index.row()))) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return QVariant();
    case Qt::ToolTipRole: {
        const int record = RecordOfRow(index.row());
        if (!m_marked.isEmpty() && m_marked.contains(record)) {
            return m_strMarkNote;
        }
        if (m_bTextToolTips) {
            const QString text = CellText(record, index.column());
            return text.isEmpty() ? QVariant() : QVariant(text);
        }
        return QVariant();
    }
    default:
        return QVariant();
    }
}

void CListModel::SetMarkedRecords(const QList<int>& records, const QString& note) {
    m_marked = QSet<int>(records.begin(), records.end());
    m_strMarkNote = note;
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size()) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.at(section).title;
    case Qt::TextAlignmentRole:
        return Alignment(IsRightAligned(section));
    default:
        return QVariant();
    }
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
