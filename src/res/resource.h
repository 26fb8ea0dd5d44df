#pragma once

// Identifiers shared by menus, accelerators, toolbar, dialogs and the string
// table. The numbers are the program's own and must not change: settings and
// tests refer to them. The framework's standard commands and strings come
// with the framework.

#include "framework/ui/AfxRes.h"

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
#define IDD_REPLACE_FOLDER 138

// The program's own commands
#define ID_VIEW_HEADER 32771
#define ID_EDIT_PROPERTIES 32772
#define ID_EDIT_ALL_EXTERNAL 32773
#define ID_SOUND_PLAY 32776
#define ID_SOUND_STOP 32777
#define ID_VIEW_WAVEFORM 32778
#define ID_WINDOW_NEW_EVENT_VIEW 32784
#define ID_EDIT_ALL_BANKED 32785
#define ID_GAME_KORVEX 32786
#define ID_GAME_LUNARIS 32787
#define ID_SOUND_IMPORT 32790
#define ID_SOUND_EXPORT 32801
#define ID_SOUND_REPLACE_FOLDER 32802
#define ID_HELP_HOMEPAGE 32820
#define ID_FILE_CHECK_BANK 32830
#define ID_FILE_COMPARE 32835

// ---------------------------------------------------------------------------
// Dialog control ids (templates 130 to 138)
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
// The range above Param2, which a Pitch states as its own.
#define IDC_PARAM_RANGE 1049
#define IDC_CD_TRACK 1037
#define IDC_KEEP_RATE 1038
#define IDC_MATCH_LOUDNESS 1039
#define IDC_REPLACE_TABLE 1050
#define IDC_REPLACE_SUMMARY 1051
