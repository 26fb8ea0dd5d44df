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
#define IDD_SELECT_SOUND_FILE 130
#define IDD_SAMPLE_RESOURCE 131
#define IDD_HEADER_INFO 133
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

// ---------------------------------------------------------------------------
// Menus, toolbar, accelerators and string table
