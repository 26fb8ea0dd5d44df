#include "CShellOpenerGuard.h"

#include "CShellOpener.h"

CShellOpenerGuard::CShellOpenerGuard(IShellOpener* opener)
    : m_pPrevious(CShellOpener::Install(opener)) {}

CShellOpenerGuard::~CShellOpenerGuard() {
    CShellOpener::Install(m_pPrevious);
}
