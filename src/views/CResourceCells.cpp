#include "CResourceCells.h"

#include "format/CBankRecords.h"
#include "format/CBnmFormat.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <charconv>

namespace {

QString number(qint64 value) {
    return QString::number(value);
}

QString sampleText(const SoundResource& r, int column) {
    switch (column) {
    case CResourceCells::FileName:
        return CBnmFormat::FileNameText(r);
    case CResourceCells::Offset:
        return number(r.offset);
    case CResourceCells::Length:
        return number(r.length);
    case CResourceCells::LoopStart:
        return number(r.loopStart);
    case CResourceCells::LoopLength:
        return number(r.loopLength);
    case CResourceCells::Looped:
        return CBnmFormat::YesNoText(r.looped);
    case CResourceCells::Volume:
        return number(r.volume);
    case CResourceCells::SamplesPerSec:
        return number(r.samplesPerSec);
    case CResourceCells::Channels:
        return number(r.channels);
    case CResourceCells::BitsPerSample:
        return number(r.bitsPerSample);
    case CResourceCells::Flags:
        return QString::asprintf("%d,%d,%d,%d,%d,%d", r.flags[0], r.flags[1], r.flags[2],
                                 r.flags[3], r.flags[4], r.flags[5]);
    case CResourceCells::WaveFormat:
        return CBnmFormat::WaveFormatText(r.waveFormat);
    default:
        return QString();
    }
}

QString cdAudioText(const SoundResource& r, int column) {
    switch (column) {
    case CResourceCells::Looped:
        return CBnmFormat::YesNoText(r.looped);
    case CResourceCells::Volume:
        return number(r.volume);
    case CResourceCells::Flags:
        return number(r.flags[1]);
    case CResourceCells::CdTrack:
        return number(r.cdTrack);
    default:
        return QString();
    }
}

void appendNumber(QString& out, qint64 value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(QLatin1StringView(digits.data(), result.ptr));
}

} // namespace

const std::array<ListColumn, CResourceCells::ColumnCount>& CResourceCells::Columns() {
    static const std::array<ListColumn, ColumnCount> columns{{
        {QT_TRANSLATE_NOOP("Resources", "Name"), 100, false},
        {QT_TRANSLATE_NOOP("Resources", "Index"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Resource ID"), 100, false},
        {QT_TRANSLATE_NOOP("Resources", "Type"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Storage"), 100, false},
        {QT_TRANSLATE_NOOP("Resources", "File Name"), 125, false},
        {QT_TRANSLATE_NOOP("Resources", "Description"), 200, false},
        {QT_TRANSLATE_NOOP("Resources", "Offset"), 75, true},
        {QT_TRANSLATE_NOOP("Resources", "Length"), 75, true},
        {QT_TRANSLATE_NOOP("Resources", "LoopStart"), 75, true},
        {QT_TRANSLATE_NOOP("Resources", "LoopLength"), 75, true},
        {QT_TRANSLATE_NOOP("Resources", "Looped"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Volume"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Samples/sec"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Channels"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Bits/sample"), 75, false},
        {QT_TRANSLATE_NOOP("Resources", "Flags"), 100, false},
        {QT_TRANSLATE_NOOP("Resources", "Wave Format"), 100, false},
        {QT_TRANSLATE_NOOP("Resources", "CD Track"), 75, false},
    }};
    return columns;
}

int CResourceCells::RowCount(const CBankRecords& records) {
    return static_cast<int>(records.Resources().size());
}

QString CResourceCells::Text(const CBankRecords& records, int row, int column) {
    if (row < 0 || row >= RowCount(records) || column < 0 || column >= ColumnCount) {
        return QString();
    }
    const SoundResource& r = records.Resources()[static_cast<size_t>(row)];
    const int id = r.resourceId & 0xFFFF;
    switch (column) {
    case Name:
        return records.GetResourceName(id);
    case Index:
        return number(row);
    case ResourceId:
        return number(r.resourceId);
    case Type:
        return CBnmFormat::ResourceTypeText(r.type);
    case Storage:
        return CBnmFormat::StorageText(r.storage);
    case Description:
        return records.GetResourceDescription(id);
    default:
        break;
    }
    if (r.IsSample()) {
        return sampleText(r, column);
    }
    if (r.IsCdAudio()) {
        return cdAudioText(r, column);
    }
    return column == Offset ? QCoreApplication::translate("CResourceCells", "Unknown") : QString();
}

void CResourceCells::AppendRowText(const CBankRecords& records, int row, QString& out) {
    AppendRowText(records, row, out, QLatin1Char('\n'));
}

void CResourceCells::AppendRowText(const CBankRecords& records, int row, QString& out,
                                   QChar separator) {
    if (row < 0 || row >= RowCount(records)) {
        for (int column = 0; column < ColumnCount; ++column) {
            out.append(separator);
        }
        return;
    }
    const SoundResource& r = records.Resources()[static_cast<size_t>(row)];
    const int id = r.resourceId & 0xFFFF;
    const auto cell = [&out, separator](const QString& text) {
        out.append(text);
        out.append(separator);
    };
    const auto number = [&out, separator](qint64 value) {
        appendNumber(out, value);
        out.append(separator);
    };
    if (const ResourceName* pName = records.FindResourceName(id)) {
        cell(pName->name);
    } else {
        cell(QString());
    }
    number(row);
    number(r.resourceId);
    cell(CBnmFormat::ResourceTypeText(r.type));
    cell(CBnmFormat::StorageText(r.storage));
    if (r.IsSample()) {
        cell(CBnmFormat::FileNameText(r));
    } else {
        cell(QString());
    }
    if (const ResourceName* pName = records.FindResourceName(id)) {
        cell(pName->description);
    } else {
        cell(QString());
    }
    if (r.IsSample()) {
        number(r.offset);
        number(r.length);
        number(r.loopStart);
        number(r.loopLength);
        cell(CBnmFormat::YesNoText(r.looped));
        number(r.volume);
        number(r.samplesPerSec);
        number(r.channels);
        number(r.bitsPerSample);
        for (int i = 0; i < 6; ++i) {
            appendNumber(out, r.flags[i]);
            out.append(i < 5 ? QChar(QLatin1Char(',')) : separator);
        }
        cell(CBnmFormat::WaveFormatText(r.waveFormat));
        cell(QString());
        return;
    }
    // Every other cell from the one place that knows them: only the sample
    // cells are many enough to be worth the shortcut.
    for (int column = Offset; column < ColumnCount; ++column) {
        cell(Text(records, row, column));
    }
}
