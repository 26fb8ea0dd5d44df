#pragma once

#include "framework/core/CSeam.h"

#include <QString>

#include <memory>

class QSettings;

// Where the profile functions of CWinApp keep their sections and entries.
// The editor's store is the user's QSettings(organization, application);
// tests keep theirs in a temporary folder (CSeam<CSettingsStore>).
class CSettingsStore {
public:
    CSettingsStore() = default;
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;
    virtual ~CSettingsStore() = default;

    // A fresh handle on the store; writes are flushed when it is destroyed.
    virtual std::unique_ptr<QSettings> Open(const QString& organization,
                                            const QString& application) = 0;
};

// The user's store, QSettings(organization, application).
template <> CSettingsStore& CSeam<CSettingsStore>::Default();
