#include "CEventCells.h"

#include "doc/CBnmFormat.h"
#include "doc/CKantelDoc.h"

const std::array<ListColumn, CEventCells::ColumnCount>& CEventCells::Columns() {
    static const std::array<ListColumn, ColumnCount> columns{{
        {"Index", 75, false},
        {"Event ID", 75, false},
        {"Type", 75, false},
        {"Param1", 225, false},
        {"Param2", 75, false},
        {"Param3", 75, false},
        {"Stopable", 75, false},
        {"Dynamic", 75, false},
    }};
    return columns;
}

int CEventCells::RowCount(const CKantelDoc& doc) {
    return static_cast<int>(doc.Events().size());
}

QString CEventCells::Text(const CKantelDoc& doc, int row, int column) {
    if (row < 0 || row >= RowCount(doc) || column < 0 || column >= ColumnCount) {
        return QString();
    }
    const SoundEvent& e = doc.Events()[static_cast<size_t>(row)];
    switch (column) {
    case Index:
        return QString::asprintf("     %d", row);
    case EventId:
        return QString::number(e.eventId);
    case Type:
        return CBnmFormat::EventTypeText(e.type);
    case Param1:
        switch (e.type) {
        case SoundEvent::kTypePlay:
        case SoundEvent::kTypePitch:
        case SoundEvent::kTypeVolume:
            return doc.GetResourceLabel(e.param1);
        case SoundEvent::kTypeStop:
            return doc.GetEventLabel(e.param1);
        case SoundEvent::kTypeEffect:
            return QString::number(static_cast<qint32>(e.param1));
        default:
            return QString();
        }
    case Param2:
        return e.HasFractions() ? CBnmFormat::FractionText(e.param2) : QString();
    case Param3:
        return e.HasFractions() ? CBnmFormat::FractionText(e.param3) : QString();
    case Stopable:
        return CBnmFormat::YesNoText(e.stopable);
    case Dynamic:
        return CBnmFormat::YesNoText(e.dynamic);
    default:
        return QString();
    }
}
