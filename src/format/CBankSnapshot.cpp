#include "CBankSnapshot.h"

#include "CBankAndNames.h"
#include "CSoundExporter.h"

#include <QCoreApplication>
#include <QFileInfo>

CResult<std::unique_ptr<CBankSnapshot>> CBankSnapshot::Read(const QString& path) {
    CResult<CBankAndNames> read = CBankAndNames::Read(path);
    if (!read) {
        FormatError why = read.Error();
        const QString shown = QFileInfo(path).absoluteFilePath();
        if (why.kind == FormatError::Kind::Empty) {
            why.text =
                QCoreApplication::translate("CBankSnapshot", "%1 is empty: it holds no bank.")
                    .arg(shown);
        } else if (why.kind == FormatError::Kind::Unreadable ||
                   why.kind == FormatError::Kind::NotAllowed) {
            // The file error's words name the file already.
        } else if (why.text.isEmpty()) {
            // Most of the reader's sentences name no file, and this one is
            // not the open bank the user would take it for.
            why.text =
                QCoreApplication::translate("CBankSnapshot", "%1 is no bank Kantel can read.")
                    .arg(shown);
        } else if (!why.text.contains(shown)) {
            why.text = shown + QStringLiteral(": ") + why.text;
        }
        return why;
    }
    auto snapshot = std::make_unique<CBankSnapshot>();
    snapshot->m_image = std::move(read.Value().image);
    snapshot->m_names = std::move(read.Value().names);
    snapshot->m_strPath = read.Value().path;
    return snapshot;
}

CBankRecords CBankSnapshot::Records() const {
    return {m_image.header,
            {m_image.resources, static_cast<size_t>(m_image.resourceCount)},
            {m_image.events, static_cast<size_t>(m_image.eventCount)},
            m_image.bank,
            m_names.names.get(),
            &m_names.firstOfId};
}

CBankComparer::Bank CBankSnapshot::ComparisonBank() const {
    const CBankRecords records = Records();
    const QByteArrayView image(reinterpret_cast<const char*>(m_image.data.get()),
                               static_cast<qsizetype>(m_image.size));
    const BnmHeader* header = m_image.header;
    return {records, m_strPath, [records, image, header](int index) {
                return CSoundExporter::RecordedData(
                    image, *header, records.Resources()[static_cast<size_t>(index)]);
            }};
}
