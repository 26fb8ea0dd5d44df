#include "CListModel.h"

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
    if (m_nRows > 0) {
        beginRemoveRows(QModelIndex(), 0, m_nRows - 1);
        m_nRows = 0;
        endRemoveRows();
    }
}

void CListModel::SetRowCount(int nRows) {
    nRows = std::max(nRows, 0);
    if (nRows > m_nRows) {
        beginInsertRows(QModelIndex(), m_nRows, nRows - 1);
        m_nRows = nRows;
        endInsertRows();
    } else if (nRows < m_nRows) {
        beginRemoveRows(QModelIndex(), nRows, m_nRows - 1);
        m_nRows = nRows;
        endRemoveRows();
    }
}

QString CListModel::CellText(int nRow, int nCol) const {
    if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_columns.size() || !m_textSource) {
        return QString();
    }
    return m_textSource(nRow, nCol);
}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nRows;
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
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return Alignment(IsRightAligned(index.column()));
    default:
        return QVariant();
    }
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
