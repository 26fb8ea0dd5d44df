#pragma once

// Identifiers shared by menus, accelerators, toolbar, dialogs and the string
// table. The numbers are the program's own and must not change: settings and
// tests refer to them.

// Menus, icons and document strings
#define IDR_MAINFRAME 128
#define IDR_BNMTYPE 129
#define IDR_CONTEXT 135

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_VERSION 1040
#define IDC_ABOUT_LEGAL 1041
#define IDD_SELECT_SOUND_FILE 133
#define IDD_SAMPLE_RESOURCE 131
#define IDD_HEADER_INFO 130
#define IDD_SOUND_EVENT 136
#define IDD_CD_TRACK_RESOURCE 137

// The program's own commands
#define ID_VIEW_HEADER 32771
#define ID_EDIT_PROPERTIES 32772
#define ID_EDIT_ALL_EXTERNAL 32773
#define ID_SOUND_PLAY 32776
#define ID_WINDOW_NEW_EVENT_VIEW 32784
#define ID_EDIT_ALL_BANKED 32785
#define ID_GAME_KORVEX 32786
#define ID_GAME_LUNARIS 32787
#define ID_HELP_HOMEPAGE 32820

// ---------------------------------------------------------------------------
// Dialog control ids (templates 130 to 137)
#define IDC_STATIC (-1) // labels and group boxes, never looked up
#define IDC_SAMPLE_DATA_OFFSET 1000
#define IDC_RESOURCE_TABLE_OFFSET 1001
#define IDC_RESOURCE_COUNT 1002
#define IDC_STORAGE 1003
#define IDC_FILE_LENGTH 1004
#define IDC_SELECT 1005
#define IDC_OFFSET 1006
#define IDC_LENGTH 1007
#define IDC_LOOPED 1008
#define IDC_LOOP_START 1009
#define IDC_LOOP_LENGTH 1010
#define IDC_VOLUME 1011
#define IDC_RESOURCE_ID 1015
#define IDC_RESOURCE_TYPE 1016
#define IDC_SOUND_FILE 1017
#define IDC_BROWSE 1018
#define IDC_PLAY 1019
#define IDC_FILE_NAME 1021
#define IDC_SAMPLE_RATE 1022
#define IDC_CHANNELS 1023
#define IDC_BITS 1024
#define IDC_EVENT_COUNT 1025
#define IDC_EVENT_TABLE_OFFSET 1026
#define IDC_TARGET_INDEX 1027
#define IDC_BANK_NUMBER 1028
#define IDC_PARAM2 1029
#define IDC_PARAM3 1030
#define IDC_EVENT_ID 1031
#define IDC_EVENT_TYPE 1032
#define IDC_STOPABLE 1033
#define IDC_DYNAMIC 1034
#define IDC_PARAM2_FRACTION 1035
#define IDC_PARAM3_FRACTION 1036
#define IDC_CD_TRACK 1037

// ---------------------------------------------------------------------------
// Menus, toolbar, accelerators and string table

// The framework's standard commands, with the framework's own numbers.
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

// The framework's own strings.
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
