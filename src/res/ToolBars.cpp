#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/ToolBarResource.h"

#include <array>

namespace {

constexpr ToolBarButton kSeparator{};

constexpr std::array kMainFrame{
    ToolBarButton{ID_FILE_OPEN, ":/res/toolbar/open.svg"},
    ToolBarButton{ID_FILE_SAVE, ":/res/toolbar/save.svg"},
    ToolBarButton{ID_EDIT_UNDO, ":/res/toolbar/undo.svg"},
    ToolBarButton{ID_EDIT_REDO, ":/res/toolbar/redo.svg"},
    kSeparator,
    ToolBarButton{ID_GAME_KORVEX, ":/res/toolbar/korvex.svg"},
    ToolBarButton{ID_GAME_LUNARIS, ":/res/toolbar/lunaris.svg"},
    kSeparator,
    ToolBarButton{ID_SOUND_PLAY, ":/res/toolbar/play.svg"},
    ToolBarButton{ID_SOUND_STOP, ":/res/toolbar/stop.svg"},
    kSeparator,
    ToolBarButton{ID_EDIT_PROPERTIES, ":/res/toolbar/properties.svg"},
    kSeparator,
    ToolBarButton{ID_WINDOW_NEW, ":/res/toolbar/resourceview.svg"},
    ToolBarButton{ID_WINDOW_NEW_EVENT_VIEW, ":/res/toolbar/eventview.svg"},
    kSeparator,
    ToolBarButton{ID_WINDOW_CASCADE, ":/res/toolbar/cascade.svg"},
    ToolBarButton{ID_WINDOW_TILE_HORZ, ":/res/toolbar/tilehorz.svg"},
    ToolBarButton{ID_WINDOW_TILE_VERT, ":/res/toolbar/tilevert.svg"},
};

constexpr std::array kToolBars{
    ToolBarResource{IDR_MAINFRAME, 16, 15, kMainFrame},
};

} // namespace

std::span<const ToolBarResource> KantelResources::ToolBars() {
    return kToolBars;
}
