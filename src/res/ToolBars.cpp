#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/ToolBarResource.h"

#include <array>

namespace {

constexpr ToolBarButton kSeparator{};

constexpr std::array kMainFrame{
    ToolBarButton{ID_FILE_OPEN, ":/res/toolbar/open.png"},
    ToolBarButton{ID_FILE_SAVE, ":/res/toolbar/save.png"},
    ToolBarButton{ID_EDIT_UNDO, ":/res/toolbar/undo.png"},
    ToolBarButton{ID_EDIT_REDO, ":/res/toolbar/redo.png"},
    kSeparator,
    ToolBarButton{ID_GAME_KORVEX, ":/res/toolbar/korvex.png"},
    ToolBarButton{ID_GAME_LUNARIS, ":/res/toolbar/lunaris.png"},
    kSeparator,
    ToolBarButton{ID_SOUND_PLAY, ":/res/toolbar/play.png"},
    ToolBarButton{ID_SOUND_STOP, ":/res/toolbar/stop.png"},
    kSeparator,
    ToolBarButton{ID_EDIT_PROPERTIES, ":/res/toolbar/properties.png"},
    kSeparator,
    ToolBarButton{ID_WINDOW_NEW, ":/res/toolbar/resourceview.png"},
    ToolBarButton{ID_WINDOW_NEW_EVENT_VIEW, ":/res/toolbar/eventview.png"},
    kSeparator,
    ToolBarButton{ID_WINDOW_CASCADE, ":/res/toolbar/cascade.png"},
    ToolBarButton{ID_WINDOW_TILE_HORZ, ":/res/toolbar/tilehorz.png"},
    ToolBarButton{ID_WINDOW_TILE_VERT, ":/res/toolbar/tilevert.png"},
};

constexpr std::array kToolBars{
    ToolBarResource{IDR_MAINFRAME, 16, 15, kMainFrame},
};

} // namespace

std::span<const ToolBarResource> KantelResources::ToolBars() {
    return kToolBars;
}
