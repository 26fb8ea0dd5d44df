#include "CSettingsStoreGuard.h"

#include "CSettingsStore.h"

CSettingsStoreGuard::CSettingsStoreGuard(const QString& iniFile)
    : m_strPrevious(CSettingsStore::Redirect(iniFile)) {}

CSettingsStoreGuard::~CSettingsStoreGuard() {
    CSettingsStore::Redirect(m_strPrevious);
}
