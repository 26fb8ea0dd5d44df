#include "CCliBank.h"

#include "format/CBankAndNames.h"
#include "format/CBankReader.h"
#include "format/CBnmFormat.h"
#include "format/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
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

// Whether read holds a bank; false after telling why it does not.
bool told(const CResult<BankImage>& read, QTextStream& err) {
    if (read) {
        return true;
    }
    if (!read.Error().text.isEmpty()) {
        CCliBank::Tell(err, read.Error().text, MB_OK | MB_ICONHAND);
    }
    return false;
}

// What the reader noticed about a bank it read all the same.
void warn(const BankImage& image, QTextStream& err) {
    for (const QString& warning : image.warnings) {
        CCliBank::Tell(err, warning, MB_OK | MB_ICONEXCLAMATION);
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

std::optional<CCliBank> CCliBank::Read(const QString& path, QTextStream& err, Reading reading,
                                       NamesTable::Strings strings) {
    if (IsStdin(path)) {
        std::optional<CResult<BankImage>> read = readStdinBank(err);
        if (!read || !told(*read, err)) {
            return std::nullopt;
        }
        CCliBank bank{std::move(read->Value()), {}, QString(), {}};
        warn(bank.image, err);
        return bank;
    }
    return Told(path, CBankAndNames::Read(path, reading, strings), err);
}

std::optional<CCliBank> CCliBank::Told(const QString& path, CResult<CBankAndNames> read,
                                       QTextStream& err) {
    if (!read) {
        const FormatError& why = read.Error();
        if (why.kind == FormatError::Kind::Empty) {
            SayEmpty(path, err);
        } else if (!why.text.isEmpty()) {
            QString text = why.text;
            if (why.kind == FormatError::Kind::NotAllowed) {
                // A pipe given by name (bash's <(...)) is read as standard
                // input instead.
                text +=
                    QStringLiteral("\nheader, resources, events and check read a bank given as - "
                                   "from standard input.");
            }
            Tell(err, text, MB_OK | MB_ICONHAND);
        }
        return std::nullopt;
    }
    CCliBank bank{std::move(read.Value().image), std::move(read.Value().names), read.Value().path,
                  read.Value().identity};
    warn(bank.image, err);
    if (!read.Value().namesProblem.isEmpty()) {
        Tell(err, read.Value().namesProblem, MB_OK | MB_ICONEXCLAMATION);
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
