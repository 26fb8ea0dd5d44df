#include "CEventCells.h"

#include "format/CBankRecords.h"
#include "format/CBnmFormat.h"

#include <QtGlobal>

const std::array<ListColumn, CEventCells::ColumnCount>& CEventCells::Columns() {
    static const std::array<ListColumn, ColumnCount> columns{{
        {QT_TRANSLATE_NOOP("Resources", "Index"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Event ID"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Type"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Param1"), 225, false},
        {QT_TRANSLATE_NOOP("Resources", "Param2"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Param3"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Stopable"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Dynamic"), 75, false},
    }};
    return columns;
}

int CEventCells::RowCount(const CBankRecords& records) {
    return static_cast<int>(records.Events().size());
}

QString CEventCells::Text(const CBankRecords& records, int row, int column) {
    if (row < 0 || row >= RowCount(records) || column < 0 || column >= ColumnCount) {
        return QString();
    }
    const SoundEvent& e = records.Events()[static_cast<size_t>(row)];
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
            return records.GetResourceLabel(e.param1);
        case SoundEvent::kTypeStop:
            return records.GetEventLabel(e.param1);
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
