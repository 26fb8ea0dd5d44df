#pragma once

#include "framework/ui/AfxWin.h"
#include "framework/ui/CMDIFrameWnd.h"
#include "framework/ui/CStatusBar.h"
#include "framework/ui/CToolBar.h"

class CCmdUI;
class CDocTemplate;

// The main window: the bank windows, one toolbar and one status bar. Keeps
// its placement and toolbar layout between runs and opens event lists.
class CMainFrame : public CMDIFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Fills out from the stored "window_pos"; false when it is missing or
    // does not hold ten numbers (out is then left alone).
    bool LoadWindowPlacement(WINDOWPLACEMENT* out) const;
    void SaveWindowPlacement(const WINDOWPLACEMENT* in) const;
    // Opens another window of pTemplate's kind on the active window's bank.
    void OpenViewWindow(CDocTemplate* pTemplate);

    void OnWindowNewEventView();
    void OnUpdateWindowNewEventView(CCmdUI* pCmdUI);

    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

protected:
    int OnCreate() override;
    void OnClose() override;

    DECLARE_MESSAGE_MAP()
};
