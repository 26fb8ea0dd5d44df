#include "CControlBars.h"

#include "AfxRes.h"
#include "CToolBar.h"
#include "CWinApp.h"

#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <utility>

void CControlBars::EnableDocking(unsigned dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    for (QWidget* pBar : std::as_const(m_bars)) {
        if (auto* pToolBar = dynamic_cast<CToolBar*>(pBar)) {
            pToolBar->UpdateAreas();
        }
    }
}

void CControlBars::Dock(CToolBar* pBar) {
    if (pBar != nullptr) {
        pBar->UpdateAreas();
        m_window.addToolBar(Qt::TopToolBarArea, pBar);
    }
}

void CControlBars::Show(QWidget* pBar, bool bShow) {
    if (pBar != nullptr) {
        pBar->setVisible(bShow);
    }
}

void CControlBars::Save(const QString& profileName) const {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return;
    }
    pApp->WriteProfileBinary(profileName, QStringLiteral("Layout"), m_window.saveState());
    if (const QWidget* pStatusBar = Get(AFX_IDW_STATUS_BAR)) {
        pApp->WriteProfileInt(profileName, QStringLiteral("StatusBar"),
                              pStatusBar->isHidden() ? 0 : 1);
    }
}

void CControlBars::Load(const QString& profileName) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return;
    }
    const QByteArray layout = pApp->GetProfileBinary(profileName, QStringLiteral("Layout"));
    if (!layout.isEmpty()) {
        m_window.restoreState(layout);
    }
    const int nStatusBar = pApp->GetProfileInt(profileName, QStringLiteral("StatusBar"), -1);
    if (QWidget* pStatusBar = Get(AFX_IDW_STATUS_BAR); pStatusBar != nullptr && nStatusBar >= 0) {
        Show(pStatusBar, nStatusBar != 0);
    }
}

void CControlBars::KeepFloatingAbove() const {
    // A toolbar restored floating before the frame was first shown became a
    // window of its own before the frame had one, so nothing told the window
    // manager to keep it above the frame, and the frame went on top of it.
    for (QWidget* pBar : std::as_const(m_bars)) {
        auto* pToolBar = qobject_cast<QToolBar*>(pBar);
        if (pToolBar == nullptr || !pToolBar->isFloating() || pToolBar->isHidden()) {
            continue;
        }
        if (pToolBar->windowHandle() != nullptr && m_window.windowHandle() != nullptr) {
            pToolBar->windowHandle()->setTransientParent(m_window.windowHandle());
        }
        // Shown again once the frame is on the screen: a window manager
        // stacks a window above its parent when it maps it, and may leave a
        // window mapped before (and below) the frame where it is.
        QTimer::singleShot(0, pToolBar, [pToolBar] {
            if (pToolBar->isFloating() && pToolBar->isVisible()) {
                pToolBar->hide();
                pToolBar->show();
            }
        });
    }
}
