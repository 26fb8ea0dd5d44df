#include "CResourceText.h"

#include <QCoreApplication>

QString CResourceText::Tr(const char* text) {
    if (text == nullptr || *text == '\0') {
        return QString();
    }
    return QCoreApplication::translate(kContext, text);
}
