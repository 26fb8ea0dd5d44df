#pragma once

#include "framework/ui/CSettingsStore.h"

#include <QString>

// Keeps every settings store in one ini file while it lives, so a test
// never reads or writes the user's own settings.
//
//   TestFolder folder;
//   IniFileSettingsStore settings(folder.FilePath("settings.ini"));
class IniFileSettingsStore final : public CSettingsStore {
public:
    explicit IniFileSettingsStore(QString iniFile);
    std::unique_ptr<QSettings> Open(const QString& organization,
                                    const QString& application) override;

private:
    QString m_strFile;
    CSeam<CSettingsStore>::Guard m_guard;
};
