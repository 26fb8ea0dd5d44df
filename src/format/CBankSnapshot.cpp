#include "CBankSnapshot.h"

#include "CBankReader.h"
#include "CNamesFileReader.h"
#include "CSoundExporter.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QCoreApplication>
#include <QFileInfo>

CResult<std::unique_ptr<CBankSnapshot>> CBankSnapshot::Read(const QString& path) {
    auto snapshot = std::make_unique<CBankSnapshot>();
    CFile file;
    CFileException error;
    try {
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
            throw error;
        }
        if (file.GetLength() == 0) {
            return FormatError{
                FormatError::Kind::NotABank,
                QCoreApplication::translate("CBankSnapshot", "%1 is empty: it holds no bank.")
                    .arg(file.GetFilePath())};
        }
        snapshot->m_strPath = file.GetFilePath();
        CResult<BankImage> read = CBankReader::Read(file);
        if (!read) {
            FormatError why = read.Error();
            // Most of the reader's sentences name no file, and this one is not
            // the open bank the user would take it for.
            if (why.text.isEmpty()) {
                why.text =
                    QCoreApplication::translate("CBankSnapshot", "%1 is no bank Kantel can read.")
                        .arg(snapshot->m_strPath);
            } else if (!why.text.contains(snapshot->m_strPath)) {
                why.text = snapshot->m_strPath + QStringLiteral(": ") + why.text;
            }
            return why;
        }
        snapshot->m_image = std::move(read.Value());
    } catch (const CFileException& e) {
        return FormatError{FormatError::Kind::Unreadable, e.GetErrorMessage()};
    }
    CResult<NamesTable> names =
        CNamesFileReader::ReadBeside(snapshot->m_strPath, snapshot->m_image.resourceCount);
    if (names) {
        snapshot->m_names = std::move(names.Value());
    }
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
