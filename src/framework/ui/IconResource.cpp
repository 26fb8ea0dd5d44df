#include "IconResource.h"

#include "CResourceRegistry.h"

#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QString>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

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

std::vector<QImage> bitmapsOf(std::span<const char* const> paths) {
    std::vector<QImage> bitmaps;
    bitmaps.reserve(paths.size());
    for (const char* path : paths) {
        if (QImage bitmap = readPng(QString::fromUtf8(path)); !bitmap.isNull()) {
            bitmaps.push_back(std::move(bitmap));
        }
    }
    return bitmaps;
}

// What ReadWindowImagesAhead decoded, until a frame takes it.
struct ReadAhead {
    enum State { NotStarted, Reading, Read };
    std::mutex mutex;
    std::condition_variable read;
    State state = NotStarted;
    std::map<int, std::vector<QImage>> bitmaps;

    // The bitmaps of icon nId, waiting for them while they are being read;
    // nothing when they were not read ahead or were taken before.
    std::optional<std::vector<QImage>> Take(int nId) {
        std::unique_lock lock(mutex);
        read.wait(lock, [this] { return state != Reading; });
        const auto it = bitmaps.find(nId);
        if (it == bitmaps.end()) {
            return std::nullopt;
        }
        std::vector<QImage> taken = std::move(it->second);
        bitmaps.erase(it);
        return taken;
    }
};

ReadAhead& readAhead() {
    static ReadAhead ahead;
    return ahead;
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
    if (windowImages.empty()) {
        return iconOf(images);
    }
    std::optional<std::vector<QImage>> bitmaps = readAhead().Take(nId);
    if (!bitmaps) {
        bitmaps = bitmapsOf(windowImages);
    }
    QIcon icon;
    for (const QImage& bitmap : *bitmaps) {
        icon.addPixmap(QPixmap::fromImage(bitmap));
    }
    return icon;
}

void IconResource::ReadWindowImagesAhead() {
    ReadAhead& ahead = readAhead();
    {
        const std::lock_guard lock(ahead.mutex);
        if (ahead.state != ReadAhead::NotStarted) {
            return;
        }
        ahead.state = ReadAhead::Reading;
    }
    std::map<int, std::vector<QImage>> bitmaps;
    for (const IconResource& icon : CResourceRegistry::Current().icons) {
        if (!icon.windowImages.empty()) {
            bitmaps.emplace(icon.nId, bitmapsOf(icon.windowImages));
        }
    }
    {
        const std::lock_guard lock(ahead.mutex);
        ahead.bitmaps = std::move(bitmaps);
        ahead.state = ReadAhead::Read;
    }
    ahead.read.notify_all();
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
