#include "CCliBank.h"

#include "format/CBankReader.h"
#include "format/CBnmFormat.h"
#include "format/CNamesFileReader.h"
#include "format/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CPathCase.h"
#include "framework/core/CPromptSink.h"

#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <span>

#include <unistd.h>

namespace {

// A bank read from standard input is held whole in memory; a real one is a
// few hundred megabytes at most.
constexpr qint64 kMaxStdinBank = qint64{1} << 30;

// All of standard input, or nothing after saying why.
std::optional<QByteArray> readStdin(QTextStream& err) {
    if (::isatty(STDIN_FILENO) == 1) {
        // Nobody types a bank: waiting for one would look like a hang.
        err << "error: standard input is a terminal; give a bank through a pipe or with <\n";
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            err << "error: standard input could not be read: "
                << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() + got > kMaxStdinBank) {
            err << "error: standard input holds more than " << (kMaxStdinBank >> 20)
                << " MiB, more than a bank read from it may; give the bank as a file\n";
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
}

// The bank given on standard input, or nothing after saying why.
std::optional<CResult<BankImage>> readStdinBank(QTextStream& err) {
    const std::optional<QByteArray> bytes = readStdin(err);
    if (!bytes) {
        return std::nullopt;
    }
    if (bytes->isEmpty()) {
        err << "error: standard input is empty: it holds no bank\n";
        return std::nullopt;
    }
    return CBankReader::Read(*bytes, QString());
}

// The bank file at path, as much of it as reading says, and its path as
// opened in *opened; nothing after saying why it could not be read.
std::optional<CResult<BankImage>> readBankFile(const QString& path, CCliBank::Reading reading,
                                               QTextStream& err, QString* opened) {
    CFile file;
    CFileException error;
    try {
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
            throw error;
        }
        if (file.GetLength() == 0) {
            CCliBank::SayEmpty(path, err);
            return std::nullopt;
        }
        *opened = file.GetFilePath();
        return reading == CCliBank::Reading::Whole ? CBankReader::Read(file)
                                                   : CBankReader::ReadRecords(file);
    } catch (const CFileException& e) {
        QString text = e.m_cause != CFileException::none || !e.m_strDetail.isEmpty()
                           ? e.GetErrorMessage()
                           : QStringLiteral("Failed to open document %1.").arg(path);
        if (e.m_cause == CFileException::notRegularFile) {
            // A pipe given by name (bash's <(...)) is read as standard
            // input instead.
            text += QStringLiteral("\nheader, resources, events and check read a bank given as - "
                                   "from standard input.");
        }
        CCliBank::Tell(err, text, MB_OK | MB_ICONHAND);
        return std::nullopt;
    }
}

} // namespace

bool CCliBank::IsStdin(const QString& path) {
    return path == QStringLiteral("-");
}

QString CCliBank::Label(const QString& path) {
    return IsStdin(path) ? QStringLiteral("standard input") : QFileInfo(path).absoluteFilePath();
}

void CCliBank::Tell(QTextStream& err, const QString& text, unsigned type) {
    // The command's sink writes to the same stream; what was written to it
    // directly must come first.
    err.flush();
    CSeam<CPromptSink>::Current().Show(text, type);
}

void CCliBank::SayEmpty(const QString& path, QTextStream& err) {
    err << "error: " << QFileInfo(path).absoluteFilePath() << " is empty: it holds no bank\n";
}

std::optional<CCliBank> CCliBank::Read(const QString& path, QTextStream& err, Reading reading) {
    QString opened;
    std::optional<CResult<BankImage>> read =
        IsStdin(path) ? readStdinBank(err) : readBankFile(path, reading, err, &opened);
    if (!read) {
        return std::nullopt;
    }
    if (!*read) {
        if (!read->Error().text.isEmpty()) {
            Tell(err, read->Error().text, MB_OK | MB_ICONHAND);
        }
        return std::nullopt;
    }
    CCliBank bank{std::move(read->Value()), {}, opened};
    for (const QString& warning : bank.image.warnings) {
        Tell(err, warning, MB_OK | MB_ICONEXCLAMATION);
    }
    if (opened.isEmpty() || reading == Reading::HeaderRegion) {
        return bank;
    }
    CResult<NamesTable> names = CNamesFileReader::ReadBeside(opened, bank.image.resourceCount);
    if (names) {
        bank.names = std::move(names.Value());
    } else if (!names.Error().text.isEmpty()) {
        Tell(err, names.Error().text + QStringLiteral("\nThe bank is shown without names."),
             MB_OK | MB_ICONEXCLAMATION);
    }
    return bank;
}

int CCliBank::FindResource(const CBankRecords& records, const QString& bankPath,
                           const QString& text, QTextStream& err) {
    const std::span<const SoundResource> resources = records.Resources();
    bool number = false;
    const int index = text.toInt(&number);
    QStringList found;
    if (number) {
        if (index >= 0 && index < static_cast<int>(resources.size())) {
            return index;
        }
    } else {
        for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            for (size_t row = 0; row < resources.size(); ++row) {
                if (records.GetResourceName(resources[row].resourceId & 0xFFFF).compare(text, cs) ==
                    0) {
                    found.append(QString::number(row));
                }
            }
            if (!found.isEmpty()) {
                break;
            }
        }
    }
    if (found.size() == 1) {
        return found.first().toInt();
    }
    const QString bank = QFileInfo(bankPath).absoluteFilePath();
    if (found.isEmpty()) {
        err << "error: " << bank << " has no resource '" << text << "'\n";
    } else {
        // Taking the first could change or write the wrong sample.
        err << "error: '" << text << "' names the resources at " << found.join(QStringLiteral(", "))
            << " of " << bank << "; give an index\n";
    }
    return -1;
}

CResult<CLoudnessMeter::Reading> CCliBank::MeasureSample(int index) const {
    const SoundResource& r = image.resources[index];
    QByteArrayView banked;
    const qint64 at = qint64{image.header->sampleDataOffset} + r.offset;
    if (r.IsBankedSample() && r.offset >= 0 && r.length > 0 && at + r.length <= image.size) {
        banked = {reinterpret_cast<const char*>(image.data.get() + at), r.length};
    }
    const QString wave =
        CPathCase::ResolveExisting(image.folder + QLatin1Char('/') + CBnmFormat::FileNameText(r));
    return CLoudnessMeter::MeasureSample(
        r, banked,
        wave.isEmpty() ? image.folder + QLatin1Char('/') + CBnmFormat::FileNameText(r) : wave);
}

CBankRecords CCliBank::Records() const {
    return {image.header,
            {image.resources, static_cast<size_t>(image.resourceCount)},
            {image.events, static_cast<size_t>(image.eventCount)},
            image.bank,
            names.names.get(),
            &names.firstOfId};
}
