#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/IconResource.h"

#include <array>

namespace {

constexpr std::array<const char*, 2> kMainFrame{":/res/icons/kantel16.png",
                                                ":/res/icons/kantel32.png"};
constexpr std::array<const char*, 2> kBank{":/res/icons/bank16.png", ":/res/icons/bank32.png"};

constexpr std::array kIcons{
    IconResource{IDR_MAINFRAME, kMainFrame},
    IconResource{IDR_BNMTYPE, kBank},
};

} // namespace

std::span<const IconResource> KantelResources::Icons() {
    return kIcons;
}
