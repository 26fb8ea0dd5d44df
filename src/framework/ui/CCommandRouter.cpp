#include "CCommandRouter.h"

#include "CCmdUI.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "CWinApp.h"

#include "framework/core/CDocument.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

// Every router alive, for the changes that no single frame sees.
std::vector<CCommandRouter*>& Routers() {
    static std::vector<CCommandRouter*> routers;
    return routers;
}

} // namespace

CCommandRouter::CCommandRouter(CMDIFrameWnd& frame) : m_frame(frame) {
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    QObject::connect(&m_pending, &QTimer::timeout, this, [this] { m_frame.OnIdleUpdateCmdUI(); });
    Routers().push_back(this);
}

CCommandRouter::~CCommandRouter() {
    Detach();
    std::vector<CCommandRouter*>& routers = Routers();
    routers.erase(std::remove(routers.begin(), routers.end(), this), routers.end());
}

void CCommandRouter::Attach() {
    if (m_bAttached || QCoreApplication::instance() == nullptr) {
        return;
    }
    m_bAttached = true;
    // Accelerators are matched against the commands' states, so the states
    // must be current when a key arrives.
    QCoreApplication::instance()->installEventFilter(this);
    if (auto* pApp = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QObject::connect(pApp, &QApplication::focusChanged, this, [this] { RequestUpdate(); });
    }
}

void CCommandRouter::Detach() {
    if (!m_bAttached) {
        return;
    }
    m_bAttached = false;
    m_pending.stop();
    if (QCoreApplication* pApp = QCoreApplication::instance()) {
        pApp->removeEventFilter(this);
        QObject::disconnect(pApp, nullptr, this, nullptr);
    }
}

bool CCommandRouter::Route(int nID, int nCode, CCmdUI* pCmdUI) {
    if (CMDIChildWnd* pChild = m_frame.MDIGetActive()) {
        if (pChild->OnCmdMsg(nID, nCode, pCmdUI)) {
            return true;
        }
    }
    if (m_frame.CCmdTarget::OnCmdMsg(nID, nCode, pCmdUI)) {
        return true;
    }
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pCmdUI);
}

bool CCommandRouter::RunCommand(int nID) {
    CCmdUI state(nID);
    state.DoUpdate(&m_frame, true);
    if (!state.IsEnabled()) {
        return false;
    }
    const QPointer<CMDIFrameWnd> frame(&m_frame);
    const bool bHandled = Route(nID, CN_COMMAND, nullptr);
    // A command changes what other commands may do; show it at once.
    if (frame != nullptr) {
        m_frame.OnIdleUpdateCmdUI();
    }
    return bHandled;
}

void CCommandRouter::UpdateCmdUI(QAction* pAction) {
    bool ok = false;
    const int nID = pAction->data().toInt(&ok);
    if (!ok) {
        return;
    }
    CCmdUI state(nID);
    state.DoUpdate(&m_frame, true);
    pAction->setEnabled(state.IsEnabled());
    if (!state.GetText().isNull() && pAction->text() != state.GetText()) {
        pAction->setText(state.GetText());
    }
    if (state.IsRadio() && pAction->actionGroup() == nullptr) {
        // A group of its own draws the item with a bullet and leaves the
        // choice to the update handlers.
        auto* pGroup = new QActionGroup(pAction);
        pGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        pGroup->addAction(pAction);
    }
    if (state.GetCheck() != 0 || state.IsRadio()) {
        pAction->setCheckable(true);
    }
    if (pAction->isCheckable()) {
        pAction->setChecked(state.GetCheck() != 0);
    }
}

void CCommandRouter::RequestUpdate() {
    if (m_bAttached && !m_pending.isActive()) {
        m_pending.start();
    }
}

void CCommandRouter::StateChanged() {
    for (CCommandRouter* pRouter : Routers()) {
        pRouter->RequestUpdate();
    }
}

bool CCommandRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &m_frame) {
        m_frame.OnIdleUpdateCmdUI();
    }
    return QObject::eventFilter(watched, event);
}
