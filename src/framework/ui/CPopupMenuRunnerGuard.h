#pragma once

class IPopupMenuRunner;

// Installs a context-menu runner for the lifetime of the guard and puts the
// previous one back when it ends.
class CPopupMenuRunnerGuard {
public:
    explicit CPopupMenuRunnerGuard(IPopupMenuRunner* runner);
    ~CPopupMenuRunnerGuard();
    CPopupMenuRunnerGuard(const CPopupMenuRunnerGuard&) = delete;
    CPopupMenuRunnerGuard& operator=(const CPopupMenuRunnerGuard&) = delete;

private:
    IPopupMenuRunner* m_pPrevious;
};
