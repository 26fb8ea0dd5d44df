#pragma once

#include "framework/ui/IPopupMenuRunner.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

// Answers context menus while it lives: records where each menu was shown
// and its items ("-" for a separator, " (off)" after a disabled one), and
// chooses the enabled item whose text is choose (none when there is none).
class ScriptedMenuRunner final : public IPopupMenuRunner {
public:
    ScriptedMenuRunner();
    QAction* Exec(QMenu& menu, const QPoint& screenPoint) override;

    QList<QPoint> points;
    QList<QStringList> menus;
    QString choose;

private:
    CSeam<IPopupMenuRunner>::Guard m_guard;
};
