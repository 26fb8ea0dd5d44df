#pragma once

// The framework's standard ids: its own commands, the child ids of its
// bars, and the strings it shows itself. The numbers are those the program's
// tables and settings were written with, so they must not change. A
// program's resource header includes this one and adds its own ids.

// Standard commands.
#define ID_SEPARATOR 0
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_CLOSE 57602
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_PAGE_SETUP 57605
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_FILE_MRU_FILE1 57616
#define ID_FILE_MRU_FILE16 57631
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_WINDOW_NEW 57648
#define ID_WINDOW_ARRANGE 57649
#define ID_WINDOW_CASCADE 57650
#define ID_WINDOW_TILE_HORZ 57651
#define ID_WINDOW_TILE_VERT 57652
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_HELP_INDEX 57666
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

// The frame's bars are child windows with the ids of their toggle commands.
#define AFX_IDW_TOOLBAR 59392
#define AFX_IDW_STATUS_BAR 59393

// The framework's own strings; the program's string table gives their text.
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_IDLEMESSAGE 57345
#define AFX_IDS_SCSIZE 61184
#define AFX_IDS_SCMOVE 61185
#define AFX_IDS_SCMINIMIZE 61186
#define AFX_IDS_SCMAXIMIZE 61187
#define AFX_IDS_SCNEXTWINDOW 61188
#define AFX_IDS_SCPREVWINDOW 61189
#define AFX_IDS_SCCLOSE 61190
#define AFX_IDS_SCRESTORE 61202
#define AFX_IDS_SCTASKLIST 61203
#define AFX_IDS_MDICHILD 61215
#define AFX_IDS_OPENFILE 61440
#define AFX_IDS_SAVEFILE 61441
#define AFX_IDS_ALLFILTER 61442
#define AFX_IDS_UNTITLED 61443
#define AFX_IDP_ASK_TO_SAVE 61699
#define AFX_IDP_FAILED_TO_CREATE_DOC 61700
#define AFX_IDP_COMMAND_FAILURE 61705
