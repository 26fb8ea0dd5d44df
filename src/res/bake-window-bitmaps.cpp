// Turns the window icon's PNG files into a table of their pixels, compiled
// into the editor: the window manager gets the icon without the first window
// decoding an image, or Qt looking through its image plugins, at start-up.
//
//   kantel-bake-window-bitmaps HEADER SOURCE NAME PNG...
//
// HEADER declares the array NAME of IconBitmap and SOURCE defines it, one
// bitmap per PNG in the order given, each as rows of RGBA bytes.

#include <QImage>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool writeSource(const char* path, const std::string& header, const std::string& name,
                 const std::vector<QImage>& bitmaps) {
    std::ofstream source(path);
    source << "// Made by kantel-bake-window-bitmaps from the icon files; not to be edited.\n\n"
           << "#include \"" << header << "\"\n\nnamespace {\n";
    for (size_t n = 0; n < bitmaps.size(); ++n) {
        const QImage& bitmap = bitmaps[n];
        source << "\nconstexpr unsigned char kBitmap" << n << "[] = {";
        const auto rowBytes = static_cast<size_t>(bitmap.width()) * 4;
        for (int y = 0; y < bitmap.height(); ++y) {
            const unsigned char* row = bitmap.constScanLine(y);
            for (size_t x = 0; x < rowBytes; ++x) {
                source << ((x % 16) == 0 ? "\n    " : " ") << static_cast<unsigned>(row[x]) << ',';
            }
        }
        source << "\n};\n";
    }
    source << "\n} // namespace\n\nconst IconBitmap " << name << "[" << bitmaps.size() << "] = {\n";
    for (size_t n = 0; n < bitmaps.size(); ++n) {
        source << "    {" << bitmaps[n].width() << ", " << bitmaps[n].height() << ", kBitmap" << n
               << "},\n";
    }
    source << "};\n";
    source.close();
    return !source.fail();
}

bool writeHeader(const char* path, const std::string& name, size_t count) {
    std::ofstream header(path);
    header << "// Made by kantel-bake-window-bitmaps from the icon files; not to be edited.\n\n"
           << "#pragma once\n\n#include \"framework/ui/IconResource.h\"\n\n"
           << "extern const IconBitmap " << name << "[" << count << "];\n";
    header.close();
    return !header.fail();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s HEADER SOURCE NAME PNG...\n", argv[0]);
        return 2;
    }
    std::vector<QImage> bitmaps;
    for (int i = 4; i < argc; ++i) {
        const QImage image(QString::fromLocal8Bit(argv[i]));
        if (image.isNull()) {
            std::fprintf(stderr, "%s: not a readable image\n", argv[i]);
            return 1;
        }
        bitmaps.push_back(image.convertToFormat(QImage::Format_RGBA8888));
    }
    const std::string header = std::filesystem::path(argv[1]).filename().string();
    if (!writeHeader(argv[1], argv[3], bitmaps.size()) ||
        !writeSource(argv[2], header, argv[3], bitmaps)) {
        std::fprintf(stderr, "%s, %s: could not be written\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
