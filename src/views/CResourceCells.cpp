#include "CResourceCells.h"

#include "format/CBankRecords.h"
#include "format/CBnmFormat.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <algorithm>
#include <array>
#include <bit>
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

// The most characters a 32-bit number takes: ten digits and a sign.
constexpr qsizetype kMostDigits = 11;

// A word cell's text (a type, a storage, yes or no, a wave format) for the
// last value asked: the rows of a bank repeat the same few, and translating
// each again costs more than writing the rest of the row.
class WordCache {
public:
    explicit WordCache(QString (*text)(qint32)) : m_text(text) {}

    const QString& operator()(qint32 value) {
        if (!m_known || value != m_value) {
            m_cached = m_text(value);
            m_value = value;
            m_known = true;
        }
        return m_cached;
    }

private:
    QString (*m_text)(qint32);
    QString m_cached;
    qint32 m_value = 0;
    bool m_known = false;
};

// Writes the cells of a run of rows through a pointer into out, which grows
// only when a row might not fit, and is cut back to what was written when
// the run ends or out is written otherwise: no cell becomes a string of its
// own, and no append checks for room.
class RowWriter {
public:
    RowWriter(QString& out, QChar separator) : m_out(out), m_separator(separator) {}
    ~RowWriter() { Close(); }
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Room for most more characters.
    void Reserve(qsizetype most) {
        if (m_p != nullptr && m_end - m_p >= most) {
            return;
        }
        // Room for many rows at a time, so that out grows seldom.
        constexpr qsizetype kGrowth = qsizetype{1} << 12;
        const qsizetype used = m_p != nullptr ? m_p - m_out.constData() : m_out.size();
        m_out.resize(used + std::max(most, kGrowth));
        m_p = m_out.data() + used;
        m_end = m_out.constData() + m_out.size();
    }
    // out holds what was written, and nothing after it.
    void Close() {
        if (m_p != nullptr) {
            m_out.resize(m_p - m_out.constData());
            m_p = nullptr;
            m_end = nullptr;
        }
    }

    void Text(const QString& text) {
        std::copy_n(text.constData(), text.size(), m_p);
        m_p += text.size();
    }
    // Decimal, as QString::number writes it. Every number of a record is 32
    // bits wide; its digits are counted first, then written from the last
    // one back, two at a time, straight into their places.
    void Number(qint32 value) {
        quint32 magnitude = static_cast<quint32>(value);
        if (value < 0) {
            *m_p++ = QLatin1Char('-');
            magnitude = 0U - magnitude;
        }
        // Most flags, loops and channel counts are one digit.
        if (magnitude < 10) {
            *m_p++ = QLatin1Char(static_cast<char>('0' + magnitude));
            return;
        }
        // The count of digits from the count of bits: 1233 / 4096 is just
        // above log10(2), and the powers of ten correct the estimate.
        static constexpr std::array<quint32, 10> kPowers = {
            1U, 10U, 100U, 1000U, 10000U, 100000U, 1000000U, 10000000U, 100000000U, 1000000000U};
        const int estimate = (32 - std::countl_zero(magnitude)) * 1233 >> 12;
        const int count = estimate + (magnitude >= kPowers[static_cast<size_t>(estimate)] ? 1 : 0);
        static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                         "25262728293031323334353637383940414243444546474849"
                                         "50515253545556575859606162636465666768697071727374"
                                         "75767778798081828384858687888990919293949596979899";
        QChar* const end = m_p + count;
        QChar* digit = end;
        while (magnitude >= 100) {
            const quint32 pair = (magnitude % 100) * 2;
            magnitude /= 100;
            *--digit = QLatin1Char(kPairs[pair + 1]);
            *--digit = QLatin1Char(kPairs[pair]);
        }
        if (magnitude >= 10) {
            const size_t pair = size_t{magnitude} * 2;
            *--digit = QLatin1Char(kPairs[pair + 1]);
            *--digit = QLatin1Char(kPairs[pair]);
        } else {
            *--digit = QLatin1Char(static_cast<char>('0' + magnitude));
        }
        m_p = end;
    }
    // Latin-1 bytes up to the first zero, as CBnmFormat::FileNameText reads them.
    void Latin1(const char* bytes, size_t size) {
        for (size_t i = 0; i < size && bytes[i] != 0; ++i) {
            *m_p++ = QLatin1Char(bytes[i]);
        }
    }
    void Char(QChar c) { *m_p++ = c; }
    void End() { *m_p++ = m_separator; }

private:
    QString& m_out;
    QChar* m_p = nullptr;
    const QChar* m_end = nullptr;
    QChar m_separator;
};

// The words of the sample cells, each translated once for a run of rows.
struct SampleWords {
    WordCache type{&CBnmFormat::ResourceTypeText};
    WordCache storage{&CBnmFormat::StorageText};
    WordCache yesNo{&CBnmFormat::YesNoText};
    WordCache waveFormat{&CBnmFormat::WaveFormatText};
};

void appendSampleRow(const SoundResource& r, int row, const ResourceName* pName, SampleWords& words,
                     RowWriter& w, QChar rowEnd) {
    const QString& type = words.type(r.type);
    const QString& storage = words.storage(r.storage);
    const QString& looped = words.yesNo(r.looped);
    const QString& waveFormat = words.waveFormat(r.waveFormat);
    const qsizetype names = pName != nullptr ? pName->name.size() + pName->description.size() : 0;
    // Ten numbers, six flags, the words, the names, the file name and a
    // separator after each of the 19 cells (5 commas between the flags).
    const qsizetype most = 16 * kMostDigits + type.size() + storage.size() + looped.size() +
                           waveFormat.size() + names + static_cast<qsizetype>(sizeof r.fileName) +
                           CResourceCells::ColumnCount + 5;
    w.Reserve(most);
    if (pName != nullptr) {
        w.Text(pName->name);
    }
    w.End();
    w.Number(row);
    w.End();
    w.Number(r.resourceId);
    w.End();
    w.Text(type);
    w.End();
    w.Text(storage);
    w.End();
    w.Latin1(r.fileName, sizeof r.fileName);
    w.End();
    if (pName != nullptr) {
        w.Text(pName->description);
    }
    w.End();
    for (const qint32 value : {r.offset, r.length, r.loopStart, r.loopLength}) {
        w.Number(value);
        w.End();
    }
    w.Text(looped);
    w.End();
    for (const qint32 value :
         {qint32{r.volume}, r.samplesPerSec, qint32{r.channels}, qint32{r.bitsPerSample}}) {
        w.Number(value);
        w.End();
    }
    for (int i = 0; i < 6; ++i) {
        w.Number(r.flags[i]);
        if (i < 5) {
            w.Char(QLatin1Char(','));
        }
    }
    w.End();
    w.Text(waveFormat);
    w.End();
    w.Char(rowEnd); // after the CD Track, empty for a sample
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
    AppendRowsText(records, row, row + 1, out, QLatin1Char('\n'), QLatin1Char('\n'));
}

void CResourceCells::AppendRowText(const CBankRecords& records, int row, QString& out,
                                   QChar separator) {
    AppendRowsText(records, row, row + 1, out, separator, separator);
}

void CResourceCells::AppendRowsText(const CBankRecords& records, int first, int end, QString& out,
                                    QChar separator, QChar rowEnd) {
    SampleWords words;
    RowWriter writer(out, separator);
    const int rows = RowCount(records);
    for (int row = first; row < end; ++row) {
        if (row < 0 || row >= rows) {
            writer.Close();
            out.append(QString(ColumnCount - 1, separator));
            out.append(rowEnd);
            continue;
        }
        const SoundResource& r = records.Resources()[static_cast<size_t>(row)];
        if (r.IsSample()) {
            appendSampleRow(r, row, records.FindResourceName(r.resourceId & 0xFFFF), words, writer,
                            rowEnd);
            continue;
        }
        writer.Close();
        // Every other row from the one place that knows its cells: only
        // sample rows are many enough to be worth the shortcut.
        for (int column = 0; column < ColumnCount; ++column) {
            out.append(Text(records, row, column));
            out.append(column + 1 < ColumnCount ? separator : rowEnd);
        }
    }
}
