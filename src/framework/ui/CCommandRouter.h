#pragma once

#include "framework/core/IModifiedObserver.h"

#include <QObject>
#include <QTimer>

class CCmdUI;
class CDocument;
class CMDIFrameWnd;
class QAction;

// The main frame's command routing and the state of its commands.
//
// A command goes to the active child frame (its view, then the view's
// document, then the child frame), then the main frame's own map, then the
// application; the first handler wins.
//
// The update handlers are asked when what they look at may have changed:
// right after a command ran, when a key is about to be matched against the
// accelerators, and, once the event loop gets to it, after the active
// document window, the focus, a list's selection or a document's modified
// flag changed. A menu asks for its items as it opens. Nothing is asked
// merely because the event loop went idle, so an idle editor does no work.
class CCommandRouter : public QObject {
public:
    explicit CCommandRouter(CMDIFrameWnd& frame);
    ~CCommandRouter() override;

    // Starts listening for the changes above; Detach stops it.
    void Attach();
    void Detach();

    // The route: child frame, frame, application. True when a target
    // handled the command (or, for an update, had an update handler).
    bool Route(int nID, int nCode, CCmdUI* pCmdUI);
    // Runs command nID as a menu choice does: nothing when its update
    // handler disables it. True when some target handled it. The frame may
    // be gone when this returns (Exit closes it).
    bool RunCommand(int nID);
    // Asks the route for the state of pAction's command and shows it.
    void UpdateCmdUI(QAction* pAction);

    // Has every command's state asked again once the event loop gets to it;
    // several requests before then make one update.
    void RequestUpdate();
    bool IsUpdatePending() const { return m_pending.isActive(); }

    // Something commands may depend on changed where no frame sees it (a
    // list's selection): every frame updates once the event loop gets to it.
    static void StateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ModifiedObserver final : IModifiedObserver {
        void ModifiedChanged(CDocument& /*document*/) override { StateChanged(); }
    };

    CMDIFrameWnd& m_frame;
    QTimer m_pending;
    bool m_bAttached = false;
    ModifiedObserver m_modifiedObserver;
    CSeam<IModifiedObserver>::Guard m_modifiedGuard{&m_modifiedObserver};
};
