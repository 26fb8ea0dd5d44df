#include "CSettingsStore.h"

#include <QSettings>

namespace {

QString& RedirectedFile() {
    static QString file;
    return file;
}

} // namespace

std::unique_ptr<QSettings> CSettingsStore::Open(const QString& organization,
                                                const QString& application) {
    if (!RedirectedFile().isEmpty()) {
        return std::make_unique<QSettings>(RedirectedFile(), QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(organization, application);
}

QString CSettingsStore::Redirect(const QString& iniFile) {
    QString previous = RedirectedFile();
    RedirectedFile() = iniFile;
    return previous;
}
