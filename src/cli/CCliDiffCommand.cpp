#include "CCliDiffCommand.h"

#include "CCliBank.h"
#include "CCliInvocation.h"
#include "CCliPromptSink.h"
#include "CJsonText.h"
#include "CKantelCli.h"

#include "format/BankImage.h"
#include "format/CBankComparer.h"
#include "format/CBankDataWindow.h"
#include "framework/core/CPromptSink.h"

#include <QTextStream>
#include <QVariant>

#include <array>
#include <future>
#include <optional>

namespace {

// A value of a difference as JSON: numbers as numbers, texts quoted, a
// sound as an object.
QString jsonValue(const QVariant& value) {
    if (!value.isValid()) {
        return CJsonText::Null();
    }
    switch (value.typeId()) {
    case QMetaType::QString:
        return CJsonText::Quote(value.toString());
    case QMetaType::QVariantList: {
        QStringList items;
        for (const QVariant& item : value.toList()) {
            items.append(jsonValue(item));
        }
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case QMetaType::QVariantMap: {
        CJsonText::Fields fields;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            fields.append({it.key(), jsonValue(it.value())});
        }
        return CJsonText::Inline(fields);
    }
    default:
        return CJsonText::Number(value.toLongLong());
    }
}

// The differences as one JSON array of objects.
QString differencesJson(const std::vector<CBankComparer::Difference>& differences) {
    QList<CJsonText::Fields> rows;
    rows.reserve(static_cast<qsizetype>(differences.size()));
    for (const CBankComparer::Difference& d : differences) {
        rows.append({
            {QStringLiteral("record"), CJsonText::Quote(CBankComparer::RecordName(d.record))},
            {QStringLiteral("index"),
             d.index >= 0 ? CJsonText::Number(d.index) : CJsonText::Null()},
            {QStringLiteral("field"),
             d.field.isEmpty() ? CJsonText::Null() : CJsonText::Quote(d.field)},
            {QStringLiteral("a"), jsonValue(d.a)},
            {QStringLiteral("b"), jsonValue(d.b)},
        });
    }
    return CJsonText::ValueArray(rows);
}

} // namespace

// Both banks are read as the look commands read them: nothing is written
// beside either, and a banked sample's sound is the bank's own copy. Their
// records and names are read side by side, on two threads; each bank's
// samples are then read from its file a window at a time as the comparison
// reaches them, so neither bank is ever held whole.
int CCliDiffCommand::Run(const CCliInvocation& run) {
    // Apart from "equal" and "differ", so a script never takes a bank it
    // could not read for one that differs.
    constexpr int kUnreadable = 2;
    const QString& pathA = run.args.at(0);
    const QString& pathB = run.args.at(1);
    constexpr CCliBank::Reading kReading = CCliBank::Reading::Records;
    // Both banks outlive all that is said of them: no strings of their own.
    constexpr NamesTable::Strings kStrings = NamesTable::Strings::Borrowed;
    // Neither is standard input: a comparison needs each bank's folder.
    std::future<CResult<CBankAndNames>> readingB = std::async(
        std::launch::async, [&pathB] { return CBankAndNames::Read(pathB, kReading, kStrings); });
    const std::optional<CCliBank> a = CCliBank::Read(pathA, run.err, kReading, kStrings);
    if (!a) {
        return kUnreadable;
    }
    std::optional<CCliBank> b;
    {
        // What reading the second bank says is about the second bank.
        CCliPromptSink prompts(run.err, CCliBank::Label(pathB), run.IsSet(run.options.quiet));
        const CSeam<CPromptSink>::Guard guard(&prompts);
        b = CCliBank::Told(pathB, readingB.get(), run.err);
    }
    if (!b) {
        return kUnreadable;
    }
    const auto windowOf = [](const CCliBank& bank) {
        return CBankDataWindow(bank.path, bank.identity, bank.image.header->sampleDataOffset,
                               bank.image.fileSize);
    };
    std::array<CBankDataWindow, 2> windows = {windowOf(*a), windowOf(*b)};
    const auto side = [](const CCliBank& bank, CBankDataWindow& window) {
        const CBankRecords records = bank.Records();
        return CBankComparer::Bank{records, bank.path, [records, &window](int i) {
                                       return window.Data(
                                           records.Resources()[static_cast<size_t>(i)]);
                                   }};
    };
    const CBankComparer::Result result =
        CBankComparer(side(*a, windows[0]), side(*b, windows[1])).Compare();
    for (const CBankDataWindow& window : windows) {
        if (!window.Failure().isEmpty()) {
            run.err << "error: " << window.Failure() << '\n';
            return kUnreadable;
        }
    }
    if (!run.IsSet(run.options.quiet)) {
        for (const QString& warning : result.warnings) {
            run.err << "warning: " << warning << '\n';
        }
    }
    if (run.IsSet(run.options.json)) {
        run.out << differencesJson(result.differences) << '\n';
    } else {
        for (const CBankComparer::Difference& d : result.differences) {
            run.out << d.label << ": " << d.text << '\n';
        }
    }
    return result.differences.empty() ? CKantelCli::Success : CKantelCli::Failure;
}
