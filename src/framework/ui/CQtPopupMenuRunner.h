#pragma once

#include "IPopupMenuRunner.h"

// The editor's context menus: QMenu::exec.
class CQtPopupMenuRunner final : public IPopupMenuRunner {
public:
    QAction* Exec(QMenu& menu, const QPoint& screenPoint) override;
};
