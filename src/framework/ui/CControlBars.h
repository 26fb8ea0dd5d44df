#pragma once

#include <QHash>
#include <QString>

class CToolBar;
class QMainWindow;
class QWidget;

// The tool and status bars of a main window: found by their ids, docked,
// shown and hidden, and their layout kept in the application's profile
// between runs.
class CControlBars {
public:
    explicit CControlBars(QMainWindow& window) : m_window(window) {}

    void Register(int nID, QWidget* pBar) { m_bars.insert(nID, pBar); }
    QWidget* Get(int nID) const { return m_bars.value(nID); }

    // The sides bars may dock at (CBRS_ALIGN_...); every tool bar follows.
    void EnableDocking(unsigned dwDockStyle);
    unsigned DockingSides() const { return m_dwDockStyle; }
    void Dock(CToolBar* pBar);
    static void Show(QWidget* pBar, bool bShow);

    // Ties every floating tool bar to the window and raises it; for when the
    // window is first shown.
    void KeepFloatingAbove() const;

    // The window's bar layout and whether the status bar shows, under
    // profileName of the application's profile.
    void Save(const QString& profileName) const;
    void Load(const QString& profileName);

private:
    QMainWindow& m_window;
    QHash<int, QWidget*> m_bars;
    unsigned m_dwDockStyle = 0;
};
