#include "KantelResources.h"
#include "WindowBitmaps.h"
#include "resource.h"

#include "framework/ui/IconResource.h"

#include <array>

namespace {

// Drawings that scale, so one image serves every size and screen scale.
constexpr std::array<const char*, 1> kMainFrame{":/res/icons/kantel.svg"};
constexpr std::array<const char*, 1> kBank{":/res/icons/bank.svg"};

// The main window's icon for the window manager, which takes bitmaps at
// fixed sizes: the same drawing at the desktop's sizes, as pixels made from
// its icon files when the program is built, costs no drawing (nor the SVG
// plugin) and no decoding before the first window shows.
constexpr std::array kIcons{
    IconResource{IDR_MAINFRAME, kMainFrame, kMainFrameWindowBitmaps},
    IconResource{IDR_BNMTYPE, kBank},
};

} // namespace

std::span<const IconResource> KantelResources::Icons() {
    return kIcons;
}
