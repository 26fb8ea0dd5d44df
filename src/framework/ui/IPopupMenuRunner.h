#pragma once

#include "framework/core/CSeam.h"

class QAction;
class QMenu;
class QPoint;

// Shows a context menu and returns the item the user chose. The editor's
// runner is QMenu::exec; tests install one that records the menu and answers
// as scripted (CSeam<IPopupMenuRunner>).
class IPopupMenuRunner {
public:
    IPopupMenuRunner() = default;
    IPopupMenuRunner(const IPopupMenuRunner&) = delete;
    IPopupMenuRunner& operator=(const IPopupMenuRunner&) = delete;
    virtual ~IPopupMenuRunner() = default;

    // Shows menu at screenPoint until the user chooses or dismisses it;
    // returns the chosen action, or nullptr. Only enabled items count.
    virtual QAction* Exec(QMenu& menu, const QPoint& screenPoint) = 0;
};

// CQtPopupMenuRunner, QMenu::exec.
template <> IPopupMenuRunner& CSeam<IPopupMenuRunner>::Default();
