#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/MenuResource.h"

#include <array>

namespace {

constexpr MenuItem kSeparator{};

constexpr std::array kFileNoDocument{
    MenuItem{ID_FILE_OPEN, "&Open...\tCtrl+O"},       kSeparator,
    MenuItem{ID_FILE_MRU_FILE1, "Recent File", true}, kSeparator,
    MenuItem{ID_APP_EXIT, "E&xit\tCtrl+Q"},
};

constexpr std::array kFileDocument{
    MenuItem{ID_FILE_OPEN, "&Open...\tCtrl+O"},
    MenuItem{ID_FILE_CLOSE, "&Close"},
    MenuItem{ID_FILE_SAVE, "&Save\tCtrl+S"},
    MenuItem{ID_FILE_SAVE_AS, "Save &As..."},
    kSeparator,
    MenuItem{ID_FILE_MRU_FILE1, "Recent File", true},
    kSeparator,
    MenuItem{ID_APP_EXIT, "E&xit\tCtrl+Q"},
};

constexpr std::array kEdit{
    MenuItem{ID_EDIT_ALL_EXTERNAL, "All &External"},
    MenuItem{ID_EDIT_ALL_BANKED, "All &Banked"},
    kSeparator,
    MenuItem{ID_EDIT_PROPERTIES, "P&roperties...\tAlt+Enter"},
};

constexpr std::array kSound{
    MenuItem{ID_SOUND_PLAY, "&Play\tSpace"},
    MenuItem{ID_SOUND_STOP, "&Stop"},
    kSeparator,
    MenuItem{ID_SOUND_IMPORT, "&Import Sound..."},
    MenuItem{ID_SOUND_EXPORT, "&Export Sounds..."},
};

constexpr std::array kGame{
    MenuItem{ID_GAME_KORVEX, "&Korvex"},
    MenuItem{ID_GAME_LUNARIS, "&Lunaris"},
};

constexpr std::array kViewNoDocument{
    MenuItem{ID_VIEW_TOOLBAR, "&Toolbar"},
    MenuItem{ID_VIEW_STATUS_BAR, "&Status Bar"},
    MenuItem{ID_VIEW_WAVEFORM, "&Waveform"},
};

constexpr std::array kViewDocument{
    MenuItem{ID_VIEW_TOOLBAR, "&Toolbar"},
    MenuItem{ID_VIEW_STATUS_BAR, "&Status Bar"},
    // The pane that draws the selected sample.
    MenuItem{ID_VIEW_WAVEFORM, "&Waveform"},
    kSeparator,
    MenuItem{ID_VIEW_HEADER, "Header...\tCtrl+H"},
};

constexpr std::array kWindow{
    MenuItem{ID_WINDOW_NEW, "&New Resource View\tCtrl+R"},
    MenuItem{ID_WINDOW_NEW_EVENT_VIEW, "New &Event View\tCtrl+E"},
    kSeparator,
    MenuItem{ID_WINDOW_CASCADE, "&Cascade"},
    MenuItem{ID_WINDOW_TILE_HORZ, "&Tile Horizontally\t["},
    MenuItem{ID_WINDOW_TILE_VERT, "Tile &Vertically\t]"},
    MenuItem{ID_WINDOW_ARRANGE, "&Arrange Icons"},
};

constexpr std::array kHelp{
    MenuItem{ID_HELP_INDEX, "Kantel Help...\tF1"}, kSeparator,
    MenuItem{ID_HELP_HOMEPAGE, "&Home Page..."},   kSeparator,
    MenuItem{ID_APP_ABOUT, "&About Kantel..."},
};

constexpr std::array kResourceContext{
    MenuItem{ID_SOUND_PLAY, "P&lay"},
    MenuItem{ID_SOUND_IMPORT, "&Import Sound..."},
    MenuItem{ID_SOUND_EXPORT, "&Export Sounds..."},
    kSeparator,
    MenuItem{ID_EDIT_PROPERTIES, "Properties"},
};

constexpr std::array kEventContext{
    MenuItem{ID_EDIT_PROPERTIES, "Properties"},
};

constexpr std::array kMainFramePopups{
    MenuPopup{"&File", kFileNoDocument},
    MenuPopup{"&Game", kGame},
    MenuPopup{"&View", kViewNoDocument},
    MenuPopup{"&Help", kHelp},
};

constexpr std::array kDocumentPopups{
    MenuPopup{"&File", kFileDocument}, MenuPopup{"&Edit", kEdit},
    MenuPopup{"&Sound", kSound},       MenuPopup{"&Game", kGame},
    MenuPopup{"&View", kViewDocument}, MenuPopup{"&Window", kWindow},
    MenuPopup{"&Help", kHelp},
};

constexpr std::array kContextPopups{
    MenuPopup{"Resource", kResourceContext},
    MenuPopup{"Event", kEventContext},
};

constexpr std::array kMenus{
    MenuResource{IDR_MAINFRAME, kMainFramePopups},
    MenuResource{IDR_BNMTYPE, kDocumentPopups},
    MenuResource{IDR_CONTEXT, kContextPopups},
};

} // namespace

std::span<const MenuResource> KantelResources::Menus() {
    return kMenus;
}
