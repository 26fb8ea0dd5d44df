#pragma once

class CModalRunner;

// Installs a modal runner for the lifetime of the guard and puts the previous
// one back when it ends.
class CModalRunnerGuard {
public:
    explicit CModalRunnerGuard(CModalRunner* runner);
    ~CModalRunnerGuard();
    CModalRunnerGuard(const CModalRunnerGuard&) = delete;
    CModalRunnerGuard& operator=(const CModalRunnerGuard&) = delete;

private:
    CModalRunner* m_pPrevious;
};
