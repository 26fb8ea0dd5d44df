#include "TestResources.h"

#include "framework/ui/CResourceRegistry.h"

#include <QtGlobal>

#include <algorithm>
#include <array>

// Q_INIT_RESOURCE declares a function, so it cannot stand inside a member.
static void RegisterTestImages() {
    Q_INIT_RESOURCE(testimages);
}

namespace {

constexpr MenuItem kSeparator{};

constexpr std::array kFileNoDocument{
    MenuItem{ID_FILE_OPEN, "&Open...\tCtrl+O"},
    kSeparator,
    MenuItem{ID_FILE_MRU_FILE1, "Recent File", true},
    kSeparator,
    MenuItem{ID_APP_EXIT, "E&xit"},
};

constexpr std::array kFileDocument{
    MenuItem{ID_FILE_OPEN, "&Open...\tCtrl+O"},
    MenuItem{ID_FILE_CLOSE, "&Close"},
    MenuItem{ID_FILE_SAVE, "&Save\tCtrl+S"},
    MenuItem{ID_FILE_SAVE_AS, "Save &As..."},
    kSeparator,
    MenuItem{ID_FILE_MRU_FILE1, "Recent File", true},
    kSeparator,
    MenuItem{ID_APP_EXIT, "E&xit"},
};

constexpr std::array kEdit{
    MenuItem{ID_EDIT_ALL_EXTERNAL, "All &External"},
    MenuItem{ID_EDIT_ALL_BANKED, "All &Banked"},
    kSeparator,
    MenuItem{ID_EDIT_PROPERTIES, "P&roperties...\tAlt+Enter"},
};

constexpr std::array kSound{
    MenuItem{ID_SOUND_PLAY, "&Play\tSpace"},
};

constexpr std::array kGame{
    MenuItem{ID_GAME_KORVEX, "&Korvex"},
    MenuItem{ID_GAME_LUNARIS, "&Lunaris"},
};

constexpr std::array kViewNoDocument{
    MenuItem{ID_VIEW_TOOLBAR, "&Toolbar"},
    MenuItem{ID_VIEW_STATUS_BAR, "&Status Bar"},
};

constexpr std::array kViewDocument{
    MenuItem{ID_VIEW_TOOLBAR, "&Toolbar"},
    MenuItem{ID_VIEW_STATUS_BAR, "&Status Bar"},
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
    MenuItem{ID_HELP_INDEX, "Kantel Help..."},   kSeparator,
    MenuItem{ID_HELP_HOMEPAGE, "&Home Page..."}, kSeparator,
    MenuItem{ID_APP_ABOUT, "&About Kantel..."},
};

constexpr std::array kResourceContext{
    MenuItem{ID_SOUND_PLAY, "P&lay"},
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

constexpr std::array kMainFrameKeys{
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_E), ID_WINDOW_NEW_EVENT_VIEW},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_H), ID_VIEW_HEADER},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_O), ID_FILE_OPEN},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_R), ID_WINDOW_NEW},
    Accelerator{QKeyCombination(Qt::ControlModifier, Qt::Key_S), ID_FILE_SAVE},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_F6), ID_NEXT_PANE},
    Accelerator{QKeyCombination(Qt::ShiftModifier, Qt::Key_F6), ID_PREV_PANE},
    Accelerator{QKeyCombination(Qt::AltModifier, Qt::Key_Return), ID_EDIT_PROPERTIES},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_BracketLeft), ID_WINDOW_TILE_HORZ},
    Accelerator{QKeyCombination(Qt::NoModifier, Qt::Key_BracketRight), ID_WINDOW_TILE_VERT},
};

constexpr std::array kAcceleratorTables{
    AcceleratorTable{IDR_MAINFRAME, kMainFrameKeys},
};

constexpr ToolBarButton kToolBarSeparator{};
constexpr const char* kButton = ":/test/button.png";

constexpr std::array kMainFrameButtons{
    ToolBarButton{ID_FILE_OPEN, kButton},
    ToolBarButton{ID_FILE_SAVE, kButton},
    kToolBarSeparator,
    ToolBarButton{ID_GAME_KORVEX, kButton},
    ToolBarButton{ID_GAME_LUNARIS, kButton},
    kToolBarSeparator,
    ToolBarButton{ID_SOUND_PLAY, kButton},
    kToolBarSeparator,
    ToolBarButton{ID_EDIT_PROPERTIES, kButton},
    kToolBarSeparator,
    ToolBarButton{ID_WINDOW_NEW, kButton},
    ToolBarButton{ID_WINDOW_NEW_EVENT_VIEW, kButton},
    kToolBarSeparator,
    ToolBarButton{ID_WINDOW_CASCADE, kButton},
    ToolBarButton{ID_WINDOW_TILE_HORZ, kButton},
    ToolBarButton{ID_WINDOW_TILE_VERT, kButton},
};

constexpr std::array kToolBars{
    ToolBarResource{IDR_MAINFRAME, 16, 15, kMainFrameButtons},
};

constexpr std::array<const char*, 1> kIconImages{":/test/icon16.png"};

constexpr std::array kIcons{
    IconResource{IDR_MAINFRAME, kIconImages},
    IconResource{IDR_BNMTYPE, kIconImages},
};

// Sorted by id: lookups search it by halves.
constexpr std::array kStrings{
    StringEntry{IDR_MAINFRAME, "Kantel"},
    StringEntry{IDR_BNMTYPE,
                "\nKantel\nKantel\nKantel Files (*.bnm)\n.BNM\nKantel.Document\nKantel Document"},
    StringEntry{ID_VIEW_HEADER, "View the file header\nHeader"},
    StringEntry{ID_EDIT_PROPERTIES, "View or edit properties\nProperties"},
    StringEntry{ID_EDIT_ALL_EXTERNAL,
                "Make all sounds external and remove all banked sound data\nAll External"},
    StringEntry{ID_SOUND_PLAY, "Play the sound resource\nPlay"},
    StringEntry{ID_WINDOW_NEW_EVENT_VIEW,
                "Open another event window for the active document\nNew Event View"},
    StringEntry{ID_EDIT_ALL_BANKED,
                "Bank all sounds; they will be appended to the bank file upon saving\nAll Banked"},
    StringEntry{ID_GAME_KORVEX, "Use Korvex path as default path\nKorvex Default"},
    StringEntry{ID_GAME_LUNARIS, "Use Lunaris path as default path\nLunaris Default"},
    StringEntry{ID_HELP_HOMEPAGE, "Start default browser with Perlume Home Page\nHome Page"},
    StringEntry{AFX_IDS_APP_TITLE, "Kantel"},
    StringEntry{AFX_IDS_IDLEMESSAGE, "Ready"},
    StringEntry{ID_FILE_NEW, "Create a new document\nNew"},
    StringEntry{ID_FILE_OPEN, "Open an existing document\nOpen"},
    StringEntry{ID_FILE_CLOSE, "Close the active document\nClose"},
    StringEntry{ID_FILE_SAVE, "Save the active document\nSave"},
    StringEntry{ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    StringEntry{ID_FILE_PAGE_SETUP, "Change the printing options\nPage Setup"},
    StringEntry{ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
    StringEntry{ID_FILE_PRINT, "Print the active document\nPrint"},
    StringEntry{ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
    StringEntry{ID_FILE_MRU_FILE1, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 1, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 2, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 3, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 4, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 5, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 6, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 7, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 8, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 9, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 10, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 11, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 12, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 13, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE1 + 14, "Open this document"},
    StringEntry{ID_FILE_MRU_FILE16, "Open this document"},
    StringEntry{ID_WINDOW_NEW,
                "Open another resource window for the active document\nNew Resource View"},
    StringEntry{ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
    StringEntry{ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
    StringEntry{ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
    StringEntry{ID_WINDOW_TILE_VERT, "Arrange windows as non-overlapping tiles\nTile Windows"},
    StringEntry{ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    StringEntry{ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    StringEntry{ID_HELP_INDEX, "Opens the Kantel.txt file\nHelp"},
    StringEntry{ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    StringEntry{ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    StringEntry{ID_INDICATOR_CAPS, "CAP"},
    StringEntry{ID_INDICATOR_NUM, "NUM"},
    StringEntry{ID_INDICATOR_SCRL, "SCRL"},
    StringEntry{ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    StringEntry{ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    StringEntry{AFX_IDS_SCSIZE, "Change the window size"},
    StringEntry{AFX_IDS_SCMOVE, "Change the window position"},
    StringEntry{AFX_IDS_SCMINIMIZE, "Reduce the window to an icon"},
    StringEntry{AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size"},
    StringEntry{AFX_IDS_SCNEXTWINDOW, "Switch to the next document window"},
    StringEntry{AFX_IDS_SCPREVWINDOW, "Switch to the previous document window"},
    StringEntry{AFX_IDS_SCCLOSE, "Close the active window and prompts to save the documents"},
    StringEntry{AFX_IDS_SCRESTORE, "Restore the window to normal size"},
    StringEntry{AFX_IDS_SCTASKLIST, "Activate Task List"},
    StringEntry{AFX_IDS_MDICHILD, "Activate this window"},
    StringEntry{AFX_IDS_OPENFILE, "Open"},
    StringEntry{AFX_IDS_SAVEFILE, "Save As"},
    StringEntry{AFX_IDS_ALLFILTER, "All Files (*.*)"},
    StringEntry{AFX_IDS_UNTITLED, "Untitled"},
    StringEntry{AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
    StringEntry{AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
    StringEntry{AFX_IDP_COMMAND_FAILURE, "Command failed."},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const StringEntry& a, const StringEntry& b) {
                                 return a.nId < b.nId;
                             }),
              "the string table must stay sorted by id");

} // namespace

void TestResources::Register() {
    static const bool imagesRegistered = [] {
        RegisterTestImages();
        return true;
    }();
    Q_UNUSED(imagesRegistered);
    CResourceRegistry::Register(CResourceRegistry::Tables{
        kMenus,
        kAcceleratorTables,
        kToolBars,
        {},
        kIcons,
        kStrings,
    });
}
