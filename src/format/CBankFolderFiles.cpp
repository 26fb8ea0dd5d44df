#include "CBankFolderFiles.h"

#include "BankImage.h"
#include "BnmHeader.h"
#include "CBankReader.h"
#include "CBnmFormat.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The tables of 65,535 resources and as many events take about 8 MB; a
// header region claimed larger than this is no bank's worth reading here.
constexpr qint64 kMaxRegion = qint64{64} << 20;

// The records of the bank at path, read from its header region alone: its
// samples' data can be hundreds of megabytes and says nothing about names.
std::vector<SoundResource> readRecords(const QString& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead, nullptr)) {
        return {};
    }
    try {
        BnmHeader header{};
        if (file.GetLength() <= CBnmFormat::kHeaderSize ||
            file.Read(&header, sizeof header) != static_cast<qint64>(sizeof header)) {
            return {};
        }
        const qint64 region = header.sampleDataOffset;
        if (region <= CBnmFormat::kHeaderSize || region > file.GetLength() || region > kMaxRegion) {
            return {};
        }
        QByteArray bytes(static_cast<qsizetype>(region), Qt::Uninitialized);
        file.SeekToBegin();
        if (file.Read(bytes.data(), region) != region) {
            return {};
        }
        const CResult<BankImage> image = CBankReader::Read(bytes, path);
        if (!image) {
            return {};
        }
        const BankImage& read = image.Value();
        return {read.resources, read.resources + read.resourceCount};
    } catch (const CFileException&) {
        return {};
    }
}

QString namesFileOf(const QString& bankFileName) {
    return bankFileName.left(bankFileName.size() - 3) + QStringLiteral("bns");
}

} // namespace

CBankFolderFiles::CBankFolderFiles(const QString& folder)
    : m_strFolder(QFileInfo(folder).canonicalFilePath()) {
    if (m_strFolder.isEmpty()) {
        return;
    }
    const QDir dir(m_strFolder);
    const QStringList banks = dir.entryList({QStringLiteral("*.bnm")},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& bank : banks) {
        m_roles.insert(bank.toCaseFolded(), {Kind::Bank, bank});
        m_roles.insert(namesFileOf(bank).toCaseFolded(), {Kind::NamesFile, bank});
    }
    for (const QString& bank : banks) {
        const std::vector<SoundResource> records = readRecords(dir.filePath(bank));
        AddBankRecords(bank, records);
    }
}

void CBankFolderFiles::SetRecords(const QString& bankFileName,
                                  std::span<const SoundResource> resources) {
    m_roles.insert(bankFileName.toCaseFolded(), {Kind::Bank, bankFileName});
    m_roles.insert(namesFileOf(bankFileName).toCaseFolded(), {Kind::NamesFile, bankFileName});
    // Its own records come before any other bank's claim on a name.
    for (const SoundResource& resource : resources) {
        if (resource.IsSample()) {
            const QString name = CBnmFormat::FileNameText(resource);
            if (!name.isEmpty() && !name.contains(QLatin1Char('/'))) {
                m_roles.insert(name.toCaseFolded(), {Kind::Wave, bankFileName});
            }
        }
    }
}

void CBankFolderFiles::AddBankRecords(const QString& bankFileName,
                                      std::span<const SoundResource> resources) {
    for (const SoundResource& resource : resources) {
        if (!resource.IsSample()) {
            continue;
        }
        // A name with a folder part is no file of this folder, and the
        // extractor renames such records before anything is written.
        const QString name = CBnmFormat::FileNameText(resource);
        if (!name.isEmpty() && !name.contains(QLatin1Char('/'))) {
            m_roles.insert(name.toCaseFolded(), {Kind::Wave, bankFileName});
        }
    }
}

CBankFolderFiles::Role CBankFolderFiles::RoleIn(const QString& folder,
                                                const QString& fileName) const {
    if (m_strFolder.isEmpty() || fileName.isEmpty() ||
        QFileInfo(folder).canonicalFilePath() != m_strFolder) {
        return {};
    }
    return m_roles.value(fileName.toCaseFolded());
}

CBankFolderFiles::Role CBankFolderFiles::RoleOf(const QString& path) const {
    // A link of that name is replaced itself, never the file it leads to.
    const QFileInfo info(path);
    return RoleIn(info.absolutePath(), info.fileName());
}

CBankFolderFiles::Role CBankFolderFiles::SaveObstacle(const QString& output,
                                                      const QString& bankPath,
                                                      std::span<const SoundResource> records) {
    const QFileInfo out(output);
    const QFileInfo bank(bankPath);
    const QString outFolder = QFileInfo(out.absolutePath()).canonicalFilePath();
    const bool sameFolder =
        !outFolder.isEmpty() && outFolder == QFileInfo(bank.absolutePath()).canonicalFilePath();
    CBankFolderFiles files(out.absolutePath());
    if (sameFolder && !records.empty()) {
        files.SetRecords(bank.fileName(), records);
    }
    Role role = files.RoleOf(output);
    if (role.kind == Kind::Bank) {
        const QString target = out.exists() ? out.canonicalFilePath() : QString();
        const bool itself =
            (!target.isEmpty() && target == bank.canonicalFilePath()) ||
            (sameFolder && role.bank.compare(bank.fileName(), Qt::CaseInsensitive) == 0);
        if (itself || !sameFolder) {
            return {};
        }
    }
    return role;
}

QString CBankFolderFiles::Describe(const Role& role) {
    switch (role.kind) {
    case Kind::Bank:
        return QCoreApplication::translate("CBankFolderFiles", "the bank %1").arg(role.bank);
    case Kind::NamesFile:
        return QCoreApplication::translate("CBankFolderFiles", "the names file of %1")
            .arg(role.bank);
    case Kind::Wave:
        return QCoreApplication::translate("CBankFolderFiles",
                                           "a wave file that %1 keeps a sample's data in")
            .arg(role.bank);
    case Kind::None:
        break;
    }
    return QString();
}
