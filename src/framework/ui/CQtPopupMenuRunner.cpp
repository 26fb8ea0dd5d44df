#include "CQtPopupMenuRunner.h"

#include <QMenu>
#include <QPoint>

QAction* CQtPopupMenuRunner::Exec(QMenu& menu, const QPoint& screenPoint) {
    return menu.exec(screenPoint);
}

template <> IPopupMenuRunner& CSeam<IPopupMenuRunner>::Default() {
    static CQtPopupMenuRunner qtRunner;
    return qtRunner;
}
