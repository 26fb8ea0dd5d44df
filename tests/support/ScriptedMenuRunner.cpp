#include "ScriptedMenuRunner.h"

#include <QAction>
#include <QMenu>

ScriptedMenuRunner::ScriptedMenuRunner() : m_guard(this) {}

QAction* ScriptedMenuRunner::Exec(QMenu& menu, const QPoint& screenPoint) {
    points.append(screenPoint);
    QStringList texts;
    QAction* pChosen = nullptr;
    for (QAction* pAction : menu.actions()) {
        if (pAction->isSeparator()) {
            texts.append(QStringLiteral("-"));
            continue;
        }
        texts.append(pAction->text() +
                     (pAction->isEnabled() ? QString() : QStringLiteral(" (off)")));
        if (pAction->text() == choose && pAction->isEnabled()) {
            pChosen = pAction;
        }
    }
    menus.append(texts);
    return pChosen;
}
