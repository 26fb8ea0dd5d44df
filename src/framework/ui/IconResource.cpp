#include "IconResource.h"

#include "CResourceRegistry.h"

#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QString>

const IconResource* IconResource::Find(int nId) {
    for (const IconResource& icon : CResourceRegistry::Current().icons) {
        if (icon.nId == nId) {
            return &icon;
        }
    }
    return nullptr;
}

namespace {

// PNG is built into Qt: named, and without the probe, it needs no plugin.
QImage readPng(const QString& path) {
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon iconOf(std::span<const char* const> images) {
    QIcon icon;
    for (const char* image : images) {
        IconResource::AddImage(icon, QString::fromUtf8(image));
    }
    return icon;
}

} // namespace

QIcon IconResource::Load() const {
    return iconOf(images);
}

QIcon IconResource::LoadWindowIcon() const {
    if (windowBitmaps.empty()) {
        return iconOf(images);
    }
    QIcon icon;
    for (const IconBitmap& bitmap : windowBitmaps) {
        // The image reads the compiled-in pixels where they are; the pixmap
        // is a copy of its own.
        const QImage image(bitmap.rgba, bitmap.width, bitmap.height,
                           static_cast<qsizetype>(bitmap.width) * 4, QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

bool IconResource::AddImage(QIcon& icon, const QString& path) {
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        icon.addFile(path);
        return true;
    }
    const QImage image = readPng(path);
    if (image.isNull()) {
        return false;
    }
    icon.addPixmap(QPixmap::fromImage(image));
    return true;
}
