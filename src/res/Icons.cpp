#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/IconResource.h"

#include <array>

namespace {

// Drawings that scale, so one image serves every size and screen scale.
constexpr std::array<const char*, 1> kMainFrame{":/res/icons/kantel.svg"};
constexpr std::array<const char*, 1> kBank{":/res/icons/bank.svg"};

constexpr std::array kIcons{
    IconResource{IDR_MAINFRAME, kMainFrame},
    IconResource{IDR_BNMTYPE, kBank},
};

} // namespace

std::span<const IconResource> KantelResources::Icons() {
    return kIcons;
}
