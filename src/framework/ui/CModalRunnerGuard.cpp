#include "CModalRunnerGuard.h"

#include "CModalRunner.h"

CModalRunnerGuard::CModalRunnerGuard(CModalRunner* runner)
    : m_pPrevious(CModalRunner::Install(runner)) {}

CModalRunnerGuard::~CModalRunnerGuard() {
    CModalRunner::Install(m_pPrevious);
}
