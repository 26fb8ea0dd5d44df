#include "CListOrder.h"

#include <QStringMatcher>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

// A cell as it sorts.
struct SortKey {
    enum Kind : quint8 { Empty, Number, Text };
    Kind kind = Empty;
    double number = 0;
    QString text;
};

SortKey KeyOf(const QString& cell) {
    SortKey key;
    const QString trimmed = cell.trimmed();
    if (trimmed.isEmpty()) {
        return key;
    }
    bool ok = false;
    // Whole numbers first: a long long holds every 32-bit field exactly.
    const qlonglong whole = trimmed.toLongLong(&ok);
    if (ok) {
        key.kind = SortKey::Number;
        key.number = static_cast<double>(whole);
        return key;
    }
    const double real = trimmed.toDouble(&ok);
    if (ok && std::isfinite(real)) {
        key.kind = SortKey::Number;
        key.number = real;
        return key;
    }
    key.kind = SortKey::Text;
    key.text = trimmed;
    return key;
}

// <0, 0 or >0 as a sorts before, with or after b.
int Compare(const SortKey& a, const SortKey& b) {
    if (a.kind != b.kind) {
        return a.kind < b.kind ? -1 : 1;
    }
    switch (a.kind) {
    case SortKey::Number:
        return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    case SortKey::Text:
        return a.text.compare(b.text, Qt::CaseInsensitive);
    default:
        return 0;
    }
}

} // namespace

void CListOrder::SetFilter(const QString& text) {
    if (text != m_filter) {
        m_kept.clear();
    }
    m_filter = text;
}

void CListOrder::Keep(int nRecord) {
    if (nRecord >= 0 && !m_filter.isEmpty() && !m_kept.contains(nRecord)) {
        m_kept.append(nRecord);
    }
}

void CListOrder::SetSort(int nColumn, Qt::SortOrder order) {
    m_nSortColumn = nColumn < 0 ? -1 : nColumn;
    m_order = order;
}

QList<int> CListOrder::Arrange(int nRecords, int nColumns, const CellText& text,
                               const RowText& rowText, QList<int>* pKeptOnly) const {
    QList<int> rows;
    nRecords = std::max(nRecords, 0);
    rows.reserve(nRecords);
    if (m_filter.isEmpty()) {
        rows.resize(nRecords);
        std::iota(rows.begin(), rows.end(), 0);
    } else {
        const QStringMatcher matcher(m_filter, Qt::CaseInsensitive);
        // A filter with a line break could match across the cells of a row.
        const bool bWholeRows = rowText && !m_filter.contains(QLatin1Char('\n'));
        QString row;
        const auto matches = [&](int record) {
            row.clear();
            if (bWholeRows && rowText(record, row)) {
                return matcher.indexIn(row) >= 0;
            }
            for (int column = 0; column < nColumns; ++column) {
                if (matcher.indexIn(text(record, column)) >= 0) {
                    return true;
                }
            }
            return false;
        };
        for (int record = 0; record < nRecords; ++record) {
            if (matches(record)) {
                rows.append(record);
            } else if (m_kept.contains(record)) {
                rows.append(record);
                if (pKeptOnly != nullptr) {
                    pKeptOnly->append(record);
                }
            }
        }
    }
    if (m_nSortColumn < 0 || m_nSortColumn >= nColumns) {
        return rows;
    }
    // Each cell is read once; a comparison must not build texts.
    std::vector<SortKey> keys(static_cast<size_t>(nRecords));
    for (const int record : std::as_const(rows)) {
        keys[static_cast<size_t>(record)] = KeyOf(text(record, m_nSortColumn));
    }
    const bool descending = m_order == Qt::DescendingOrder;
    std::sort(rows.begin(), rows.end(), [&](int a, int b) {
        const int order = Compare(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
        if (order != 0) {
            return descending ? order > 0 : order < 0;
        }
        return a < b;
    });
    return rows;
}
