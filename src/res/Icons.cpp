#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/IconResource.h"

#include <array>

namespace {

// The main window's icon as bitmaps at the desktop's sizes: the window
// manager is given every size an icon has, and bitmaps cost no drawing (nor
// the SVG plugin) before the first window shows. The bank's icon, shown in
// the windows of open banks only, is the drawing, which serves every size.
constexpr std::array<const char*, 4> kMainFrame{
    ":/res/icons/kantel-16.png", ":/res/icons/kantel-32.png", ":/res/icons/kantel-48.png",
    ":/res/icons/kantel-64.png"};
constexpr std::array<const char*, 1> kBank{":/res/icons/bank.svg"};

constexpr std::array kIcons{
    IconResource{IDR_MAINFRAME, kMainFrame},
    IconResource{IDR_BNMTYPE, kBank},
};

} // namespace

std::span<const IconResource> KantelResources::Icons() {
    return kIcons;
}
