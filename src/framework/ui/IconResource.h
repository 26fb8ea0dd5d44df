#pragma once

#include <span>

class QIcon;
class QString;

// A bitmap as data: its rows of RGBA bytes, the top row first.
struct IconBitmap {
    int width;
    int height;
    const unsigned char* rgba;
};

// An icon as data: the resource paths of its images, one per size.
struct IconResource {
    int nId;
    std::span<const char* const> images;
    // The same icon as bitmaps at the sizes a window manager takes, for a
    // frame's window icon; none when images serve there too.
    std::span<const IconBitmap> windowBitmaps = {};

    // The registered icon with this id, or nullptr.
    static const IconResource* Find(int nId);
    // The icon made of the images.
    QIcon Load() const;
    // The icon a frame gives the window manager.
    QIcon LoadWindowIcon() const;
    // Adds the image at path to icon. A PNG file is read as PNG, without
    // the format probe that loads every image plugin (a cost at start-up);
    // anything else (a drawing) goes to its icon engine. False when a PNG
    // file cannot be read.
    static bool AddImage(QIcon& icon, const QString& path);
};
