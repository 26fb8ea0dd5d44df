#pragma once

#include <QString>

#include <memory>

class QSettings;

// The user's settings store, where the profile functions of CWinApp keep
// their sections and entries: QSettings(organization, application). Tests
// redirect it into one file of a temporary folder with CSettingsStoreGuard.
class CSettingsStore {
public:
    // A fresh handle on the store; writes are flushed when it is destroyed.
    static std::unique_ptr<QSettings> Open(const QString& organization, const QString& application);

    // From now on every store is this ini file (empty: the user's store
    // again). Returns the redirection it replaces.
    static QString Redirect(const QString& iniFile);
};
