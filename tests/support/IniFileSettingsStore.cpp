#include "IniFileSettingsStore.h"

#include <QSettings>

#include <utility>

IniFileSettingsStore::IniFileSettingsStore(QString iniFile)
    : m_strFile(std::move(iniFile)), m_guard(this) {}

std::unique_ptr<QSettings> IniFileSettingsStore::Open(const QString& /*organization*/,
                                                      const QString& /*application*/) {
    return std::make_unique<QSettings>(m_strFile, QSettings::IniFormat);
}
