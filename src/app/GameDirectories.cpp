#include "GameDirectories.h"

#include "CWinePrefix.h"

#include "framework/core/CPrivateProfile.h"

#include <QByteArray>
#include <QString>

#include <cstring>

namespace {

const char* const kIniFirst = "Halvane\\halv.ini";
const char* const kIniSecond = "C:\\Windows\\Halvane\\halv.ini";

char* readSetting(const char* section, const char* key, char* buffer) {
    buffer[0] = '\0';
    const QString sectionName = QString::fromLatin1(section);
    const QString keyName = QString::fromLatin1(key);
    QString value;
    int copied =
        CPrivateProfile::GetString(sectionName, keyName, QString(), value, kGameSettingSize,
                                   CWinePrefix::ProfilePath(QString::fromLatin1(kIniFirst)));
    if (copied == 0) {
        copied =
            CPrivateProfile::GetString(sectionName, keyName, QString(), value, kGameSettingSize,
                                       CWinePrefix::ProfilePath(QString::fromLatin1(kIniSecond)));
    }
    if (copied == 0) {
        return nullptr;
    }
    const QByteArray bytes = value.toLatin1().left(kGameSettingSize - 1);
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(bytes.size()));
    buffer[bytes.size()] = '\0';
    if (qstricmp(key, "Directory") == 0) {
        AppendPathSeparator(buffer);
    }
    return buffer;
}

} // namespace

char* ReadKorvexSetting(const char* key, char* buffer) {
    static char own[kGameSettingSize + 1];
    return readSetting("Korvex", key, buffer != nullptr ? buffer : own);
}

char* ReadLunarisSetting(const char* key, char* buffer) {
    static char own[kGameSettingSize + 1];
    return readSetting("Lun", key, buffer != nullptr ? buffer : own);
}

void AppendPathSeparator(char* path) {
    const size_t length = std::strlen(path);
    if (length == 0) {
        return;
    }
    const char last = path[length - 1];
    if (last == '\\' || last == '/' || last == ':') {
        return;
    }
    path[length] = '\\';
    path[length + 1] = '\0';
}
