#pragma once

#include "AfxRes.h"
#include "AfxWin.h"

#include <QToolBar>

class CMDIFrameWnd;

// The frame's toolbar: one button per command of a toolbar resource, each
// the command's own action (so it is enabled, checked and routed as the menu
// item is), with the command's tool tip and its status-bar prompt while the
// pointer rests on it.
//
//   if (!m_wndToolBar.Create(this) || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
//       return -1;
//   m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() |
//                            CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
//   m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
//   EnableDocking(CBRS_ALIGN_ANY);
//   DockControlBar(&m_wndToolBar);
class CToolBar : public QToolBar {
public:
    CToolBar();

    // Puts the bar into pParentWnd, docked at the side dwStyle names (top by
    // default); its child id nID names it in the saved bar state.
    bool Create(CMDIFrameWnd* pParentWnd, unsigned dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                int nID = AFX_IDW_TOOLBAR);
    // The buttons of toolbar resource nIDResource; false when there is none.
    bool LoadToolBar(int nIDResource);

    // CBRS_TOOLTIPS shows tool tips, CBRS_FLYBY the status-bar prompts.
    unsigned GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(unsigned dwStyle);
    // The sides the bar may be dragged to (CBRS_ALIGN_...); a bar that may
    // be dragged may also float. Without it the bar stays where it is.
    void EnableDocking(unsigned dwDockStyle);
    int GetDlgCtrlID() const { return m_nID; }
    // The sides the bar may go to now: its own, and of those the frame's
    // (CMDIFrameWnd::EnableDocking) once the frame has named any.
    void UpdateAreas();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMDIFrameWnd* m_pFrame = nullptr;
    unsigned m_dwStyle = 0;
    unsigned m_dwDockStyle = 0;
    int m_nID = 0;
};
