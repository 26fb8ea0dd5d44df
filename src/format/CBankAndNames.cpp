#include "CBankAndNames.h"

#include "CBankReader.h"
#include "CNamesFileReader.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QCoreApplication>

namespace {

// What an open that failed is to be called: the file error's own words,
// which name the file, or, where it gives none, the editor's.
FormatError openFailure(const CFileException& e, const QString& path) {
    const QString text = e.m_cause != CFileException::none || !e.m_strDetail.isEmpty()
                             ? e.GetErrorMessage()
                             : QStringLiteral("Failed to open document %1.").arg(path);
    return {e.m_cause == CFileException::notRegularFile ? FormatError::Kind::NotAllowed
                                                        : FormatError::Kind::Unreadable,
            text};
}

} // namespace

CResult<CBankAndNames> CBankAndNames::Read(const QString& path, Reading reading,
                                           NamesTable::Strings strings) {
    CFile file;
    CFileException error;
    CBankAndNames bank;
    try {
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
            return openFailure(error, path);
        }
        if (file.GetLength() == 0) {
            return FormatError{FormatError::Kind::Empty, QString()};
        }
        bank.path = file.GetFilePath();
        bank.identity = file.GetIdentity();
        CResult<BankImage> read =
            reading == Reading::Whole ? CBankReader::Read(file) : CBankReader::ReadRecords(file);
        if (!read) {
            return read.Error();
        }
        bank.image = std::move(read.Value());
    } catch (const CFileException& e) {
        return openFailure(e, path);
    }
    if (reading != Reading::HeaderRegion) {
        std::optional<NamesTable> names =
            NamesBeside(bank.path, bank.image.resourceCount, &bank.namesProblem, strings);
        if (names) {
            bank.names = std::move(*names);
        }
    }
    return bank;
}

std::optional<NamesTable> CBankAndNames::NamesBeside(const QString& bankPath, int resourceCount,
                                                     QString* problem,
                                                     NamesTable::Strings strings) {
    problem->clear();
    CResult<NamesTable> names = CNamesFileReader::ReadBeside(bankPath, resourceCount, strings);
    if (names) {
        return std::move(names.Value());
    }
    if (!names.Error().text.isEmpty()) {
        *problem = names.Error().text +
                   QCoreApplication::translate("CKantelDoc", "\nThe bank is shown without names.");
    }
    return std::nullopt;
}
