#include "CToolBar.h"

#include "CDeferredIconEngine.h"

#include "CMDIFrameWnd.h"
#include "ToolBarResource.h"

#include <QAction>
#include <QEvent>
#include <QIcon>

CToolBar::CToolBar() {
    setMovable(false);
    setFloatable(false);
}

bool CToolBar::Create(CMDIFrameWnd* pParentWnd, unsigned dwStyle, int nID) {
    if (pParentWnd == nullptr) {
        return false;
    }
    m_pFrame = pParentWnd;
    m_dwStyle = dwStyle;
    m_nID = nID;
    // The saved bar state finds the bar by this name.
    setObjectName(QStringLiteral("ToolBar%1").arg(nID));
    const Qt::ToolBarArea area = (dwStyle & CBRS_ALIGN_BOTTOM) != 0  ? Qt::BottomToolBarArea
                                 : (dwStyle & CBRS_ALIGN_LEFT) != 0  ? Qt::LeftToolBarArea
                                 : (dwStyle & CBRS_ALIGN_RIGHT) != 0 ? Qt::RightToolBarArea
                                                                     : Qt::TopToolBarArea;
    pParentWnd->addToolBar(area, this);
    pParentWnd->RegisterControlBar(nID, this);
    setVisible((dwStyle & WS_VISIBLE) != 0);
    return true;
}

bool CToolBar::LoadToolBar(int nIDResource) {
    const ToolBarResource* pResource = ToolBarResource::Find(nIDResource);
    if (pResource == nullptr || m_pFrame == nullptr) {
        return false;
    }
    clear();
    setIconSize(QSize(pResource->cxButton, pResource->cyButton));
    for (const ToolBarButton& button : pResource->buttons) {
        if (button.IsSeparator()) {
            addSeparator();
            continue;
        }
        QAction* pAction = m_pFrame->GetCommandAction(button.nId);
        if (pAction->icon().isNull()) {
            pAction->setIcon(CDeferredIconEngine::Icon(QString::fromUtf8(button.pszImage)));
        }
        addAction(pAction);
        if (QWidget* pButton = widgetForAction(pAction)) {
            pButton->installEventFilter(this);
        }
    }
    return true;
}

void CToolBar::SetBarStyle(unsigned dwStyle) {
    m_dwStyle = dwStyle;
}

void CToolBar::EnableDocking(unsigned dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    UpdateAreas();
}

void CToolBar::UpdateAreas() {
    unsigned sides = m_dwDockStyle;
    if (m_pFrame != nullptr && m_pFrame->GetDockingSides() != 0) {
        sides &= m_pFrame->GetDockingSides();
    }
    Qt::ToolBarAreas areas;
    if ((sides & CBRS_ALIGN_TOP) != 0) {
        areas |= Qt::TopToolBarArea;
    }
    if ((sides & CBRS_ALIGN_BOTTOM) != 0) {
        areas |= Qt::BottomToolBarArea;
    }
    if ((sides & CBRS_ALIGN_LEFT) != 0) {
        areas |= Qt::LeftToolBarArea;
    }
    if ((sides & CBRS_ALIGN_RIGHT) != 0) {
        areas |= Qt::RightToolBarArea;
    }
    setAllowedAreas(areas);
    // A bar that may be dragged at all may also be left floating.
    setMovable(m_dwDockStyle != 0);
    setFloatable(m_dwDockStyle != 0);
}

bool CToolBar::event(QEvent* event) {
    // A button's prompt travels up through the bar on its way to the
    // status bar.
    if (event->type() == QEvent::StatusTip && (m_dwStyle & CBRS_FLYBY) == 0) {
        return true;
    }
    return QToolBar::event(event);
}

bool CToolBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && (m_dwStyle & CBRS_TOOLTIPS) == 0) {
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}
