// The names-file reader on any bytes, beside a bank of a few resources.
#include "FuzzSupport.h"

#include "doc/CKantelDoc.h"
#include "format/CNamesFileReader.h"
#include "format/SoundResource.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray smallBank() {
    constexpr int kResources = 5;
    QByteArray bank(36 + kResources * 92, '\0');
    const quint32 header[9] = {0,  36,         0,
                               36, kResources, static_cast<quint32>(bank.size()),
                               0,  0,          static_cast<quint32>(bank.size())};
    std::memcpy(bank.data(), header, sizeof header);
    for (int i = 0; i < kResources; ++i) {
        SoundResource r;
        std::memset(&r, 0, sizeof r);
        r.resourceId = i * 7;
        r.type = 3;
        std::memcpy(bank.data() + 36 + i * 92, &r, sizeof r);
    }
    return bank;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QByteArray bank = smallBank();
    FuzzSupport& support = FuzzSupport::Instance();
    const QString path = support.WriteFresh(QStringLiteral("Bnk_1.bnm"), bank);
    QFile names(QDir(support.Folder()).filePath(QStringLiteral("Bnk_1.bns")));
    if (names.open(QIODevice::WriteOnly)) {
        names.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        names.close();
    }
    // The reader on its own: every entry it gives keeps to the lengths the
    // views rely on.
    qsizetype total = 0;
    const CResult<NamesTable> table = CNamesFileReader::ReadBeside(path, 5);
    if (table.Ok()) {
        for (int i = 0; i < table.Value().count; ++i) {
            const ResourceName& entry = table.Value().names[static_cast<size_t>(i)];
            if (entry.name.size() > CNamesFileReader::kMaxName ||
                entry.description.size() > CNamesFileReader::kMaxDescription) {
                std::abort();
            }
            total += entry.name.size();
        }
    }
    // And as the document uses it.
    CKantelDoc doc;
    if (!doc.LoadBankAndNames(path)) {
        return 0;
    }
    for (int id = -1; id < 40; ++id) {
        total += doc.GetResourceName(id).size() + doc.GetResourceDescription(id).size();
    }
    return total < 0 ? 1 : 0;
}
