#include "CMessageList.h"

QString CMessageList::Join(const QStringList& lines) {
    constexpr qsizetype kShown = 10;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) {
        shown.append(QStringLiteral("... and %1 more").arg(lines.size() - kShown));
    }
    return shown.join(QLatin1Char('\n'));
}
