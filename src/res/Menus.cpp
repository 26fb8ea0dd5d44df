#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/MenuResource.h"

#include <QtGlobal>

#include <array>

namespace {

constexpr MenuItem kSeparator{};

constexpr std::array kFileNoDocument{
    MenuItem{ID_FILE_OPEN, QT_TRANSLATE_NOOP("Resources", "&Open...\tCtrl+O")},       kSeparator,
    MenuItem{ID_FILE_MRU_FILE1, QT_TRANSLATE_NOOP("Resources", "Recent File"), true}, kSeparator,
    MenuItem{ID_APP_EXIT, QT_TRANSLATE_NOOP("Resources", "E&xit\tCtrl+Q")},
};

constexpr std::array kFileDocument{
    MenuItem{ID_FILE_OPEN, QT_TRANSLATE_NOOP("Resources", "&Open...\tCtrl+O")},
    MenuItem{ID_FILE_CLOSE, QT_TRANSLATE_NOOP("Resources", "&Close")},
    MenuItem{ID_FILE_SAVE, QT_TRANSLATE_NOOP("Resources", "&Save\tCtrl+S")},
    MenuItem{ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("Resources", "Save &As...")},
    MenuItem{ID_FILE_CHECK_BANK, QT_TRANSLATE_NOOP("Resources", "Check Ban&k")},
    MenuItem{ID_FILE_COMPARE, QT_TRANSLATE_NOOP("Resources", "Compare &With...")},
    kSeparator,
    MenuItem{ID_FILE_MRU_FILE1, QT_TRANSLATE_NOOP("Resources", "Recent File"), true},
    kSeparator,
    MenuItem{ID_APP_EXIT, QT_TRANSLATE_NOOP("Resources", "E&xit\tCtrl+Q")},
};

constexpr std::array kEdit{
    // The update handlers name the step in the text.
    MenuItem{ID_EDIT_UNDO, QT_TRANSLATE_NOOP("Resources", "&Undo\tCtrl+Z")},
    MenuItem{ID_EDIT_REDO, QT_TRANSLATE_NOOP("Resources", "&Redo\tCtrl+Y")},
    kSeparator,
    MenuItem{ID_EDIT_ALL_EXTERNAL, QT_TRANSLATE_NOOP("Resources", "All &External")},
    MenuItem{ID_EDIT_ALL_BANKED, QT_TRANSLATE_NOOP("Resources", "All &Banked")},
    kSeparator,
    MenuItem{ID_EDIT_PROPERTIES, QT_TRANSLATE_NOOP("Resources", "P&roperties...\tAlt+Enter")},
};

constexpr std::array kSound{
    MenuItem{ID_SOUND_PLAY, QT_TRANSLATE_NOOP("Resources", "&Play\tSpace")},
    MenuItem{ID_SOUND_STOP, QT_TRANSLATE_NOOP("Resources", "&Stop")},
    kSeparator,
    MenuItem{ID_SOUND_IMPORT, QT_TRANSLATE_NOOP("Resources", "&Import Sound...")},
    MenuItem{ID_SOUND_EXPORT, QT_TRANSLATE_NOOP("Resources", "&Export Sounds...")},
    MenuItem{ID_SOUND_REPLACE_FOLDER, QT_TRANSLATE_NOOP("Resources", "Replace from &Folder...")},
};

constexpr std::array kGame{
    MenuItem{ID_GAME_KORVEX, QT_TRANSLATE_NOOP("Resources", "&Korvex")},
    MenuItem{ID_GAME_LUNARIS, QT_TRANSLATE_NOOP("Resources", "&Lunaris")},
};

constexpr std::array kViewNoDocument{
    MenuItem{ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Resources", "&Toolbar")},
    MenuItem{ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Resources", "&Status Bar")},
    MenuItem{ID_VIEW_WAVEFORM, QT_TRANSLATE_NOOP("Resources", "&Waveform")},
};

constexpr std::array kViewDocument{
    MenuItem{ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Resources", "&Toolbar")},
    MenuItem{ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Resources", "&Status Bar")},
    // The pane that draws the selected sample.
    MenuItem{ID_VIEW_WAVEFORM, QT_TRANSLATE_NOOP("Resources", "&Waveform")},
    kSeparator,
    MenuItem{ID_VIEW_HEADER, QT_TRANSLATE_NOOP("Resources", "Header...\tCtrl+H")},
};

constexpr std::array kWindow{
    MenuItem{ID_WINDOW_NEW, QT_TRANSLATE_NOOP("Resources", "&New Resource View\tCtrl+R")},
    MenuItem{ID_WINDOW_NEW_EVENT_VIEW, QT_TRANSLATE_NOOP("Resources", "New &Event View\tCtrl+E")},
    kSeparator,
    MenuItem{ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("Resources", "&Cascade")},
    MenuItem{ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("Resources", "&Tile Horizontally\t[")},
    MenuItem{ID_WINDOW_TILE_VERT, QT_TRANSLATE_NOOP("Resources", "Tile &Vertically\t]")},
    MenuItem{ID_WINDOW_ARRANGE, QT_TRANSLATE_NOOP("Resources", "&Arrange Icons")},
};

constexpr std::array kHelp{
    MenuItem{ID_HELP_INDEX, QT_TRANSLATE_NOOP("Resources", "Kantel Help...\tF1")}, kSeparator,
    MenuItem{ID_HELP_HOMEPAGE, QT_TRANSLATE_NOOP("Resources", "&Home Page...")},   kSeparator,
    MenuItem{ID_APP_ABOUT, QT_TRANSLATE_NOOP("Resources", "&About Kantel...")},
};

constexpr std::array kResourceContext{
    MenuItem{ID_SOUND_PLAY, QT_TRANSLATE_NOOP("Resources", "P&lay")},
    MenuItem{ID_SOUND_IMPORT, QT_TRANSLATE_NOOP("Resources", "&Import Sound...")},
    MenuItem{ID_SOUND_EXPORT, QT_TRANSLATE_NOOP("Resources", "&Export Sounds...")},
    kSeparator,
    MenuItem{ID_EDIT_PROPERTIES, QT_TRANSLATE_NOOP("Resources", "Properties")},
};

constexpr std::array kEventContext{
    MenuItem{ID_EDIT_PROPERTIES, QT_TRANSLATE_NOOP("Resources", "Properties")},
};

constexpr std::array kMainFramePopups{
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&File"), kFileNoDocument},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Game"), kGame},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&View"), kViewNoDocument},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Help"), kHelp},
};

constexpr std::array kDocumentPopups{
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&File"), kFileDocument},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Edit"), kEdit},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Sound"), kSound},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Game"), kGame},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&View"), kViewDocument},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Window"), kWindow},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "&Help"), kHelp},
};

constexpr std::array kContextPopups{
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "Resource"), kResourceContext},
    MenuPopup{QT_TRANSLATE_NOOP("Resources", "Event"), kEventContext},
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
