#pragma once

#include <QString>

// Sends the settings store to iniFile for the lifetime of the guard, then
// puts the previous store back.
//
//   TestFolder folder;
//   CSettingsStoreGuard settings(folder.FilePath("settings.ini"));
class CSettingsStoreGuard {
public:
    explicit CSettingsStoreGuard(const QString& iniFile);
    ~CSettingsStoreGuard();
    CSettingsStoreGuard(const CSettingsStoreGuard&) = delete;
    CSettingsStoreGuard& operator=(const CSettingsStoreGuard&) = delete;

private:
    QString m_strPrevious;
};
