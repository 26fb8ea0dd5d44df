#pragma once

#include <QString>
#include <QStringList>

// Lines for a message that lists samples: at most a screenful, and the
// number of the others.
class CMessageList {
public:
    static QString Join(const QStringList& lines);
};
