#include "IconResource.h"

#include "CResourceRegistry.h"

#include <QIcon>
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
    return iconOf(windowImages.empty() ? images : windowImages);
}

bool IconResource::AddImage(QIcon& icon, const QString& path) {
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        icon.addFile(path);
        return true;
    }
    // PNG is built into Qt: named, and without the probe, it needs no plugin.
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull()) {
        return false;
    }
    icon.addPixmap(QPixmap::fromImage(image));
    return true;
}
