#pragma once

#include "AfxWin.h"
#include "CCmdTarget.h"

#include <QList>
#include <QMainWindow>

#include <memory>

class CCommandRouter;
class CControlBars;
class CFrameMenus;
class CMDIArranger;
class CMDIChildWnd;
class CToolBar;
class QAction;
class QMdiArea;
class QMenu;

// The main window: an MDI area with the document windows, the menu bar, the
// accelerators, the toolbar and status bar, and the hub of command routing.
//
// Every command is one QAction, shared by its menu item, toolbar button and
// accelerator; its status tip and tool tip come from the string table. A
// command goes to the active child frame (its view, then the view's
// document, then the child frame), then this frame's map, then the
// application; the first handler wins. Update handlers are asked when a menu
// opens, after a command ran, before a key is matched against the
// accelerators, and when the active window, the focus, a list's selection
// or a document's modified flag changed (see CCommandRouter); a command
// nobody handles is disabled.
//
// The menu bar is resource nIDResource while no document window is active
// and the active child's menu otherwise; the "&Window" pop-up lists the open
// windows, the File pop-up the recent files.
//
// The frame is the face of several parts, each with one job: CFrameMenus
// (actions, menu bars and their lists), CCommandRouter (routing and update),
// CMDIArranger (window arrangement), CControlBars (tool and status bars) and
// CFileDrop (files dropped on it).
//
//   class CMainFrame : public CMDIFrameWnd {
//       int OnCreate() override;     // call the base first; -1 fails LoadFrame
//       void OnClose() override;     // call the base last
//       CToolBar m_wndToolBar; ...   // members, never deleted by the frame
//       DECLARE_MESSAGE_MAP()
//   };
//
// The frame deletes itself once closed (and when LoadFrame fails), so it is
// made with new and never deleted by its creator.
class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // Title (string nIDResource), icon, MDI area, menu bar and accelerators
    // of resource nIDResource, then OnCreate. False when OnCreate fails; the
    // frame then deletes itself.
    virtual bool LoadFrame(int nIDResource,
                           unsigned dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE);

    QMdiArea* GetMDIClient() const { return m_pMDIClient; }
    // The active document window (also while the application is inactive).
    CMDIChildWnd* MDIGetActive() const;
    // The document windows shown, oldest first.
    QList<CMDIChildWnd*> GetChildFrames() const;

    // --- Commands ------------------------------------------------------------
    // Runs command nID as a menu choice does: nothing when its update handler
    // disables it. True when some target handled it.
    bool OnCommand(int nID);
    bool OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) override;
    // The one action of command nID (made on first use).
    QAction* GetCommandAction(int nID);
    // Asks the route for the state of pAction's command and shows it.
    void UpdateCmdUI(QAction* pAction);
    // Every command's state, the menu bar and the title, now. A frame with
    // panes that follow the active window overrides it to bring them up to
    // date too, after calling the base.
    virtual void OnIdleUpdateCmdUI();
    // The same once the event loop gets to it; requests until then make one
    // update.
    void RequestCmdUIUpdate();
    // Before a pop-up opens: the recent files or the window list where they
    // belong, then the state of each item.
    void OnInitMenuPopup(QMenu* pPopup);
    // The menu resource shown in the menu bar now.
    int GetMenuResourceId() const;
    // Shows the menu of the active child frame, or the frame's own.
    void OnUpdateFrameMenu();
    virtual void OnUpdateFrameTitle(bool bAddToTitle);

    // --- Windows ----------------------------------------------------------------
    void MDICascade();
    // Horizontally: wide windows one above the other; vertically: side by
    // side. From four windows on they form a grid.
    void MDITile(bool bHorizontal);
    void MDIIconArrange();
    void MDINext(bool bPrevious = false);
    // Where a new document window goes, in MDI-area coordinates: each one a
    // title bar lower and to the right of the one made before it, starting
    // again at the top left before one would reach past the area, so the
    // caption and close box of every new window can be reached. Counts the
    // window as made.
    QRect NextChildRect();

    // --- Control bars -----------------------------------------------------------
    // The sides bars may dock at (CBRS_ALIGN_...).
    void EnableDocking(unsigned dwDockStyle);
    void DockControlBar(CToolBar* pBar);
    void ShowControlBar(QWidget* pBar, bool bShow, bool bDelay = false);
    // The toolbar or status bar with child id nID, or nullptr.
    QWidget* GetControlBar(int nID) const;
    // Toolbar positions, floating state and visibility, and the status bar's
    // visibility, in section profileName of the settings store.
    void SaveBarState(const QString& profileName) const;
    void LoadBarState(const QString& profileName);

    // --- Placement --------------------------------------------------------------
    bool GetWindowPlacement(WINDOWPLACEMENT* pPlacement) const;
    bool SetWindowPlacement(const WINDOWPLACEMENT* pPlacement);
    bool IsZoomed() const { return isMaximized(); }
    void ShowWindow(int nCmdShow);
    void UpdateWindow();
    // Files dropped on the frame are opened as documents.
    void DragAcceptFiles(bool bAccept = true);

    // For CToolBar and CStatusBar.
    void RegisterControlBar(int nID, QWidget* pBar);
    unsigned GetDockingSides() const;

protected:
    virtual int OnCreate();
    // The close box and Exit: as the main window, asks about every modified
    // document and closes them all, then the frame closes and the
    // application's loop ends. Stays open when the user cancels.
    virtual void OnClose();

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    void OnWindowNew();
    void OnMDIWindowCmd(int nID);
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    void OnBarCheck(int nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CCommandRouter> m_pRouter;
    std::unique_ptr<CMDIArranger> m_pArranger;
    std::unique_ptr<CControlBars> m_pControlBars;
    std::unique_ptr<CFrameMenus> m_pMenus;
    QMdiArea* m_pMDIClient = nullptr;
    int m_nIDResource = 0;
    unsigned m_dwStyle = 0;
    QString m_strTitle;
    bool m_bAcceptFiles = false;
    bool m_bInIdle = false;
    bool m_bCloseAccepted = false;
};
