#include "KantelResources.h"
#include "resource.h"

#include "framework/ui/StringTable.h"

#include <QtGlobal>

#include <algorithm>
#include <array>

namespace {

using Entry = StringEntry;

// Sorted by id: lookups search it by halves.
constexpr std::array kStrings{
    Entry{IDR_MAINFRAME, QT_TRANSLATE_NOOP("Resources", "Kantel")},
    Entry{IDR_BNMTYPE,
          QT_TRANSLATE_NOOP(
              "Resources",
              "\nKantel\nKantel\nKantel Files (*.bnm)\n.BNM\nKantel.Document\nKantel Document")},
    Entry{ID_VIEW_HEADER, QT_TRANSLATE_NOOP("Resources", "View the file header\nHeader")},
    Entry{ID_EDIT_PROPERTIES,
          QT_TRANSLATE_NOOP("Resources", "View or edit properties\nProperties")},
    Entry{ID_EDIT_ALL_EXTERNAL,
          QT_TRANSLATE_NOOP(
              "Resources",
              "Make all sounds external and remove all banked sound data\nAll External")},
    Entry{ID_SOUND_PLAY, QT_TRANSLATE_NOOP("Resources", "Play the sound resource\nPlay")},
    Entry{ID_SOUND_STOP, QT_TRANSLATE_NOOP("Resources", "Stop the sound that is playing\nStop")},
    Entry{ID_VIEW_WAVEFORM,
          QT_TRANSLATE_NOOP("Resources",
                            "Show or hide the waveform of the selected sample\nToggle Waveform")},
    Entry{ID_WINDOW_NEW_EVENT_VIEW,
          QT_TRANSLATE_NOOP("Resources",
                            "Open another event window for the active document\nNew Event View")},
    Entry{ID_EDIT_ALL_BANKED,
          QT_TRANSLATE_NOOP(
              "Resources",
              "Bank all sounds; they will be appended to the bank file upon saving\nAll Banked")},
    Entry{ID_GAME_KORVEX,
          QT_TRANSLATE_NOOP("Resources", "Use Korvex path as default path\nKorvex Default")},
    Entry{ID_GAME_LUNARIS,
          QT_TRANSLATE_NOOP("Resources", "Use Lunaris path as default path\nLunaris Default")},
    Entry{ID_SOUND_IMPORT,
          QT_TRANSLATE_NOOP(
              "Resources",
              "Make a sound file of any kind the sample of the selected resource\nImport Sound")},
    Entry{ID_SOUND_EXPORT,
          QT_TRANSLATE_NOOP(
              "Resources",
              "Write the selected sound or all sounds as wave files into a folder\nExport Sounds")},
    Entry{ID_SOUND_REPLACE_FOLDER,
          QT_TRANSLATE_NOOP("Resources", "Make the sound files of a folder the samples they are "
                                         "named after, as one edit\nReplace from Folder")},
    Entry{
        ID_HELP_HOMEPAGE,
        QT_TRANSLATE_NOOP("Resources", "Start default browser with Perlume Home Page\nHome Page")},
    Entry{
        ID_FILE_CHECK_BANK,
        QT_TRANSLATE_NOOP(
            "Resources", "List what is wrong with the bank before the game finds out\nCheck Bank")},
    Entry{ID_FILE_COMPARE,
          QT_TRANSLATE_NOOP("Resources",
                            "List what differs between the bank and another bank "
                            "file, record by record and sound by sound\nCompare With")},
    Entry{AFX_IDS_APP_TITLE, QT_TRANSLATE_NOOP("Resources", "Kantel")},
    Entry{AFX_IDS_IDLEMESSAGE, QT_TRANSLATE_NOOP("Resources", "Ready")},
    Entry{ID_FILE_NEW, QT_TRANSLATE_NOOP("Resources", "Create a new document\nNew")},
    Entry{ID_FILE_OPEN, QT_TRANSLATE_NOOP("Resources", "Open an existing document\nOpen")},
    Entry{ID_FILE_CLOSE, QT_TRANSLATE_NOOP("Resources", "Close the active document\nClose")},
    Entry{ID_FILE_SAVE, QT_TRANSLATE_NOOP("Resources", "Save the active document\nSave")},
    Entry{ID_FILE_SAVE_AS,
          QT_TRANSLATE_NOOP("Resources", "Save the active document with a new name\nSave As")},
    Entry{ID_FILE_PAGE_SETUP,
          QT_TRANSLATE_NOOP("Resources", "Change the printing options\nPage Setup")},
    Entry{ID_FILE_PRINT_SETUP,
          QT_TRANSLATE_NOOP("Resources", "Change the printer and printing options\nPrint Setup")},
    Entry{ID_FILE_PRINT, QT_TRANSLATE_NOOP("Resources", "Print the active document\nPrint")},
    Entry{ID_FILE_PRINT_PREVIEW,
          QT_TRANSLATE_NOOP("Resources", "Display full pages\nPrint Preview")},
    Entry{ID_FILE_MRU_FILE1, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 1, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 2, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 3, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 4, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 5, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 6, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 7, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 8, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 9, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 10, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 11, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 12, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 13, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE1 + 14, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_FILE_MRU_FILE16, QT_TRANSLATE_NOOP("Resources", "Open this document")},
    Entry{ID_EDIT_UNDO,
          QT_TRANSLATE_NOOP("Resources", "Take back the last change of the bank\nUndo")},
    Entry{ID_EDIT_REDO,
          QT_TRANSLATE_NOOP("Resources", "Make the last change taken back again\nRedo")},
    Entry{ID_WINDOW_NEW,
          QT_TRANSLATE_NOOP(
              "Resources",
              "Open another resource window for the active document\nNew Resource View")},
    Entry{
        ID_WINDOW_ARRANGE,
        QT_TRANSLATE_NOOP("Resources", "Arrange icons at the bottom of the window\nArrange Icons")},
    Entry{ID_WINDOW_CASCADE,
          QT_TRANSLATE_NOOP("Resources", "Arrange windows so they overlap\nCascade Windows")},
    Entry{ID_WINDOW_TILE_HORZ,
          QT_TRANSLATE_NOOP("Resources", "Arrange windows as non-overlapping tiles\nTile Windows")},
    Entry{ID_WINDOW_TILE_VERT,
          QT_TRANSLATE_NOOP("Resources", "Arrange windows as non-overlapping tiles\nTile Windows")},
    Entry{ID_APP_ABOUT,
          QT_TRANSLATE_NOOP("Resources",
                            "Display program information, version number and copyright\nAbout")},
    Entry{ID_APP_EXIT,
          QT_TRANSLATE_NOOP("Resources", "Quit the application; prompts to save documents\nExit")},
    Entry{ID_HELP_INDEX, QT_TRANSLATE_NOOP("Resources", "Opens the Kantel.txt file\nHelp")},
    Entry{ID_NEXT_PANE,
          QT_TRANSLATE_NOOP("Resources", "Switch to the next window pane\nNext Pane")},
    Entry{ID_PREV_PANE,
          QT_TRANSLATE_NOOP("Resources", "Switch back to the previous window pane\nPrevious Pane")},
    Entry{ID_INDICATOR_CAPS, QT_TRANSLATE_NOOP("Resources", "CAP")},
    Entry{ID_INDICATOR_NUM, QT_TRANSLATE_NOOP("Resources", "NUM")},
    Entry{ID_INDICATOR_SCRL, QT_TRANSLATE_NOOP("Resources", "SCRL")},
    Entry{ID_VIEW_TOOLBAR,
          QT_TRANSLATE_NOOP("Resources", "Show or hide the toolbar\nToggle ToolBar")},
    Entry{ID_VIEW_STATUS_BAR,
          QT_TRANSLATE_NOOP("Resources", "Show or hide the status bar\nToggle StatusBar")},
    Entry{AFX_IDS_SCSIZE, QT_TRANSLATE_NOOP("Resources", "Change the window size")},
    Entry{AFX_IDS_SCMOVE, QT_TRANSLATE_NOOP("Resources", "Change the window position")},
    Entry{AFX_IDS_SCMINIMIZE, QT_TRANSLATE_NOOP("Resources", "Reduce the window to an icon")},
    Entry{AFX_IDS_SCMAXIMIZE, QT_TRANSLATE_NOOP("Resources", "Enlarge the window to full size")},
    Entry{AFX_IDS_SCNEXTWINDOW,
          QT_TRANSLATE_NOOP("Resources", "Switch to the next document window")},
    Entry{AFX_IDS_SCPREVWINDOW,
          QT_TRANSLATE_NOOP("Resources", "Switch to the previous document window")},
    Entry{AFX_IDS_SCCLOSE,
          QT_TRANSLATE_NOOP("Resources",
                            "Close the active window and prompts to save the documents")},
    Entry{AFX_IDS_SCRESTORE, QT_TRANSLATE_NOOP("Resources", "Restore the window to normal size")},
    Entry{AFX_IDS_SCTASKLIST, QT_TRANSLATE_NOOP("Resources", "Activate Task List")},
    Entry{AFX_IDS_MDICHILD, QT_TRANSLATE_NOOP("Resources", "Activate this window")},
    Entry{AFX_IDS_OPENFILE, QT_TRANSLATE_NOOP("Resources", "Open")},
    Entry{AFX_IDS_SAVEFILE, QT_TRANSLATE_NOOP("Resources", "Save As")},
    Entry{AFX_IDS_ALLFILTER, QT_TRANSLATE_NOOP("Resources", "All Files (*.*)")},
    Entry{AFX_IDS_UNTITLED, QT_TRANSLATE_NOOP("Resources", "Untitled")},
    Entry{AFX_IDP_ASK_TO_SAVE, QT_TRANSLATE_NOOP("Resources", "Save changes to %1?")},
    Entry{AFX_IDP_FAILED_TO_CREATE_DOC,
          QT_TRANSLATE_NOOP("Resources", "Failed to create empty document.")},
    Entry{AFX_IDP_COMMAND_FAILURE, QT_TRANSLATE_NOOP("Resources", "Command failed.")},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const Entry& a, const Entry& b) { return a.nId < b.nId; }),
              "the string table must stay sorted by id");

} // namespace

std::span<const StringEntry> KantelResources::Strings() {
    return kStrings;
}
