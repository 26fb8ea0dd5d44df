#pragma once

#include "framework/ui/AfxWin.h"
#include "framework/ui/CMDIFrameWnd.h"
#include "framework/ui/CStatusBar.h"
#include "framework/ui/CToolBar.h"
#include "views/CWaveformPane.h"

#include <QDockWidget>

class CCmdUI;
class CDocTemplate;

// The main window: the bank windows, one toolbar, one status bar and the
// waveform pane, which follows the selection of the active resource list.
// Keeps its placement and bar layout between runs, opens event lists and
// stops the sound that plays.
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
    // Check Bank: a window listing the findings of the active window's bank.
    void OnFileCheckBank();
    void OnUpdateFileCheckBank(CCmdUI* pCmdUI);
    // Compare With: picks another bank file, then a window listing what
    // differs between it and the active window's bank.
    void OnFileCompare();
    void OnSoundStop();
    void OnUpdateSoundStop(CCmdUI* pCmdUI);

    // The waveform pane also follows the active window and its selection.
    void OnIdleUpdateCmdUI() override;

    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    // The pane lives in the dock; it is declared after it, so it leaves the
    // dock before the dock goes.
    QDockWidget m_wndWaveformBar;
    CWaveformPane m_wndWaveform;

protected:
    int OnCreate() override;
    void OnClose() override;

    DECLARE_MESSAGE_MAP()
};
