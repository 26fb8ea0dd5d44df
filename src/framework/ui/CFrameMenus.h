#pragma once

#include <QHash>
#include <QList>

#include <functional>

class CMDIChildWnd;
class QAction;
class QMainWindow;
class QMenu;

// The commands of a main window as actions, and its menu bars.
//
// Every command is one QAction, made on first use and shared by its menu
// item, toolbar button and accelerator; its status tip and tool tip come from
// the string table, and triggering it runs the command. A menu bar is built
// once per menu resource and kept; showing another only swaps the pop-ups.
// Pop-ups holding the recent-file placeholder list the recent files, and the
// one holding a Window command lists the open document windows, each time
// they are about to open.
class CFrameMenus {
public:
    struct Hooks {
        // Runs command nID as a menu choice does.
        std::function<void(int nID)> runCommand;
        // A pop-up is about to open.
        std::function<void(QMenu* pPopup)> aboutToShow;
        // The document windows, oldest first, and the active one.
        std::function<QList<CMDIChildWnd*>()> childFrames;
        std::function<CMDIChildWnd*()> activeChild;
    };

    CFrameMenus(QMainWindow& window, Hooks hooks);

    // The one action of command nID.
    QAction* Action(int nID);
    const QHash<int, QAction*>& Actions() const { return m_actions; }
    // Gives the commands the keys of accelerator table nIDResource.
    void AddAccelerators(int nIDResource);

    // Whether menu resource nIDResource has any pop-ups.
    bool HasMenu(int nIDResource) { return !MenuBar(nIDResource).isEmpty(); }
    // Puts the pop-ups of menu resource nIDResource in the window's menu bar,
    // unless they are there already.
    void Show(int nIDResource);
    int Current() const { return m_nCurrent; }

    // Fills in the recent files and the window list where pPopup holds them.
    void Prepare(QMenu* pPopup);

private:
    const QList<QMenu*>& MenuBar(int nIDResource);
    void RebuildRecentFiles(QMenu* pPopup);
    void RebuildWindowList(QMenu* pPopup);

    QMainWindow& m_window;
    Hooks m_hooks;
    QHash<int, QAction*> m_actions;
    QHash<int, QList<QMenu*>> m_menuBars;
    int m_nCurrent = 0;
};
