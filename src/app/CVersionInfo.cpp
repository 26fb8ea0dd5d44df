#include "CVersionInfo.h"

#include "IVersionRecord.h"
#include "res/VersionRecord.h"

#include <QStringList>

namespace {

class CAttachedVersionRecord final : public IVersionRecord {
public:
    const char* Record() const override { return KantelVersionRecord(); }
};

} // namespace

template <> IVersionRecord& CSeam<IVersionRecord>::Default() {
    static CAttachedVersionRecord attached;
    return attached;
}

CVersionInfo::CVersionInfo() = default;

CVersionInfo::~CVersionInfo() = default;

bool CVersionInfo::Load() {
    m_bValid = false;
    const char* record = CSeam<IVersionRecord>::Current().Record();
    m_block = QByteArray(record != nullptr ? record : "");
    m_nBlockSize = static_cast<quint32>(m_block.size());
    if (m_nBlockSize == 0) {
        return false;
    }
    m_strQueryPath = QStringLiteral("\\VarFileInfo\\Translation");
    // The first translation: a language and a code page, four hex digits each.
    for (const QByteArray& line : m_block.split('\n')) {
        if (!line.startsWith("Translation:")) {
            continue;
        }
        const QList<QByteArray> words = line.mid(12).simplified().split(' ');
        bool languageOk = false;
        bool codePageOk = false;
        const uint language = words.value(0).toUInt(&languageOk, 16);
        const uint codePage = words.value(1).toUInt(&codePageOk, 16);
        if (!languageOk || !codePageOk || language > 0xFFFF || codePage > 0xFFFF) {
            return false;
        }
        m_strTranslation = QString::asprintf("%04X%04X", language, codePage);
        m_bValid = true;
        return true;
    }
    return false;
}

QString CVersionInfo::GetValue(const QString& name) {
    QString result;
    if (!m_bValid) {
        return result;
    }
    m_strQueryPath = QStringLiteral("\\StringFileInfo\\%1\\%2").arg(m_strTranslation, name);
    const QString block = QStringLiteral("[StringFileInfo\\%1]").arg(m_strTranslation);
    bool inBlock = false;
    m_strValue.clear();
    m_nValueLength = 0;
    for (const QByteArray& raw : m_block.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            // Block names match without regard to case, as translations are
            // written in either case.
            inBlock = line.compare(block, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inBlock && equals > 0 && line.left(equals) == name) {
            m_strValue = line.mid(equals + 1);
            m_nValueLength = static_cast<quint32>(m_strValue.size());
            break;
        }
    }
    if (m_nValueLength > 0) {
        result = m_strValue;
    }
    return result;
}
