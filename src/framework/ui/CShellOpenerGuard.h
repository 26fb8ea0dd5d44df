#pragma once

class IShellOpener;

// Installs a shell opener for the lifetime of the guard.
class CShellOpenerGuard {
public:
    explicit CShellOpenerGuard(IShellOpener* opener);
    ~CShellOpenerGuard();
    CShellOpenerGuard(const CShellOpenerGuard&) = delete;
    CShellOpenerGuard& operator=(const CShellOpenerGuard&) = delete;

private:
    IShellOpener* m_pPrevious;
};
