#include "ImageFiles.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function, so it cannot stand inside a member.
static void RegisterImages() {
    Q_INIT_RESOURCE(images);
}

void ImageFiles::Register() {
    static const bool registered = [] {
        RegisterImages();
        return true;
    }();
    Q_UNUSED(registered);
}
