#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/StringTable.h"

#include <algorithm>
#include <array>

namespace {

using Entry = StringEntry;

// Sorted by id: lookups search it by halves.
constexpr std::array kStrings{
    Entry{IDR_MAINFRAME, "Kantel"},
    Entry{IDR_BNMTYPE,
          "\nKantel\nKantel\nKantel Files (*.bnm)\n.BNM\nKantel.Document\nKantel Document"},
    Entry{ID_VIEW_HEADER, "View the file header\nHeader"},
    Entry{ID_EDIT_PROPERTIES, "View or edit properties\nProperties"},
    Entry{ID_EDIT_ALL_EXTERNAL,
          "Make all sounds external and remove all banked sound data\nAll External"},
    Entry{ID_SOUND_PLAY, "Play the sound resource\nPlay"},
    Entry{ID_SOUND_STOP, "Stop the sound that is playing\nStop"},
    Entry{ID_VIEW_WAVEFORM, "Show or hide the waveform of the selected sample\nToggle Waveform"},
    Entry{ID_WINDOW_NEW_EVENT_VIEW,
          "Open another event window for the active document\nNew Event View"},
    Entry{ID_EDIT_ALL_BANKED,
          "Bank all sounds; they will be appended to the bank file upon saving\nAll Banked"},
    Entry{ID_GAME_KORVEX, "Use Korvex path as default path\nKorvex Default"},
    Entry{ID_GAME_LUNARIS, "Use Lunaris path as default path\nLunaris Default"},
    Entry{ID_SOUND_IMPORT,
          "Make a sound file of any kind the sample of the selected resource\nImport Sound"},
    Entry{ID_SOUND_EXPORT,
          "Write the selected sound or all sounds as wave files into a folder\nExport Sounds"},
    Entry{ID_HELP_HOMEPAGE, "Start default browser with Perlume Home Page\nHome Page"},
    Entry{ID_FILE_CHECK_BANK,
          "List what is wrong with the bank before the game finds out\nCheck Bank"},
    Entry{AFX_IDS_APP_TITLE, "Kantel"},
    Entry{AFX_IDS_IDLEMESSAGE, "Ready"},
    Entry{ID_FILE_NEW, "Create a new document\nNew"},
    Entry{ID_FILE_OPEN, "Open an existing document\nOpen"},
    Entry{ID_FILE_CLOSE, "Close the active document\nClose"},
    Entry{ID_FILE_SAVE, "Save the active document\nSave"},
    Entry{ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    Entry{ID_FILE_PAGE_SETUP, "Change the printing options\nPage Setup"},
    Entry{ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
    Entry{ID_FILE_PRINT, "Print the active document\nPrint"},
    Entry{ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
    Entry{ID_FILE_MRU_FILE1, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 1, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 2, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 3, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 4, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 5, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 6, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 7, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 8, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 9, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 10, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 11, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 12, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 13, "Open this document"},
    Entry{ID_FILE_MRU_FILE1 + 14, "Open this document"},
    Entry{ID_FILE_MRU_FILE16, "Open this document"},
    Entry{ID_EDIT_UNDO, "Take back the last change of the bank\nUndo"},
    Entry{ID_EDIT_REDO, "Make the last change taken back again\nRedo"},
    Entry{ID_WINDOW_NEW, "Open another resource window for the active document\nNew Resource View"},
    Entry{ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
    Entry{ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
    Entry{ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
    Entry{ID_WINDOW_TILE_VERT, "Arrange windows as non-overlapping tiles\nTile Windows"},
    Entry{ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    Entry{ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    Entry{ID_HELP_INDEX, "Opens the Kantel.txt file\nHelp"},
    Entry{ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    Entry{ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    Entry{ID_INDICATOR_CAPS, "CAP"},
    Entry{ID_INDICATOR_NUM, "NUM"},
    Entry{ID_INDICATOR_SCRL, "SCRL"},
    Entry{ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    Entry{ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    Entry{AFX_IDS_SCSIZE, "Change the window size"},
    Entry{AFX_IDS_SCMOVE, "Change the window position"},
    Entry{AFX_IDS_SCMINIMIZE, "Reduce the window to an icon"},
    Entry{AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size"},
    Entry{AFX_IDS_SCNEXTWINDOW, "Switch to the next document window"},
    Entry{AFX_IDS_SCPREVWINDOW, "Switch to the previous document window"},
    Entry{AFX_IDS_SCCLOSE, "Close the active window and prompts to save the documents"},
    Entry{AFX_IDS_SCRESTORE, "Restore the window to normal size"},
    Entry{AFX_IDS_SCTASKLIST, "Activate Task List"},
    Entry{AFX_IDS_MDICHILD, "Activate this window"},
    Entry{AFX_IDS_OPENFILE, "Open"},
    Entry{AFX_IDS_SAVEFILE, "Save As"},
    Entry{AFX_IDS_ALLFILTER, "All Files (*.*)"},
    Entry{AFX_IDS_UNTITLED, "Untitled"},
    Entry{AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
    Entry{AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
    Entry{AFX_IDP_COMMAND_FAILURE, "Command failed."},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const Entry& a, const Entry& b) { return a.nId < b.nId; }),
              "the string table must stay sorted by id");

} // namespace

std::span<const StringEntry> KantelResources::Strings() {
    return kStrings;
}
