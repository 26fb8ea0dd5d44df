#include "CCmdUI.h"

#include "CCmdTarget.h"

void CCmdUI::Enable(bool bOn) {
    m_bEnabled = bOn;
    m_bEnableChanged = true;
}

void CCmdUI::SetCheck(int nCheck) {
    m_nCheck = nCheck;
    m_bRadio = false;
}

void CCmdUI::SetRadio(bool bOn) {
    m_nCheck = bOn ? 1 : 0;
    m_bRadio = true;
}

void CCmdUI::SetText(const QString& text) {
    m_text = text.isNull() ? QStringLiteral("") : text;
}

void CCmdUI::DoUpdate(CCmdTarget* pTarget, bool bDisableIfNoHandler) {
    m_bEnableChanged = false;
    if (pTarget == nullptr) {
        m_bEnabled = false;
        return;
    }
    pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        m_bEnabled = pTarget->OnCmdMsg(m_nID, CN_PROBE_COMMAND, nullptr);
    }
}
