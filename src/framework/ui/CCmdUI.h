#pragma once

#include <QString>

class CCmdTarget;

// The state of one command's user interface (menu item, toolbar button,
// context-menu entry), as an update handler sets it. The framework asks the
// routing for it and then puts the result on every place the command shows.
//
//   void CMyView::OnUpdateEditProperties(CCmdUI* pCmdUI) {
//       pCmdUI->Enable(GetSelected() >= 0);
//   }
class CCmdUI {
public:
    explicit CCmdUI(int nID) : m_nID(nID) {}
    CCmdUI(const CCmdUI&) = delete;
    CCmdUI& operator=(const CCmdUI&) = delete;

    void Enable(bool bOn = true);
    // 0 unchecked, 1 checked (a check mark, a pressed button).
    void SetCheck(int nCheck = 1);
    // A bullet instead of a check mark: one choice out of several.
    void SetRadio(bool bOn = true);
    // Another text for the command's menu item, as menu resources spell it
    // ("&Undo Properties\tCtrl+Z"); without a call the text stays.
    void SetText(const QString& text);

    // Routes the update through pTarget. When no update handler calls Enable
    // and bDisableIfNoHandler is set, the command is enabled exactly when some
    // target along the route has a handler for it.
    void DoUpdate(CCmdTarget* pTarget, bool bDisableIfNoHandler);

    bool IsEnabled() const { return m_bEnabled; }
    int GetCheck() const { return m_nCheck; }
    bool IsRadio() const { return m_bRadio; }
    // The text SetText gave; null when none was given.
    const QString& GetText() const { return m_text; }

    const int m_nID;
    // Set once an update handler called Enable.
    bool m_bEnableChanged = false;

private:
    bool m_bEnabled = true;
    int m_nCheck = 0;
    bool m_bRadio = false;
    QString m_text;
};
