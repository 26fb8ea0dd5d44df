#include "CPopupMenuRunnerGuard.h"

#include "CMenu.h"

CPopupMenuRunnerGuard::CPopupMenuRunnerGuard(IPopupMenuRunner* runner)
    : m_pPrevious(CMenu::InstallRunner(runner)) {}

CPopupMenuRunnerGuard::~CPopupMenuRunnerGuard() {
    CMenu::InstallRunner(m_pPrevious);
}
