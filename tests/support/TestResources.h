#pragma once

// The resource tables of the small program the framework's tests build:
// a menu bar without and one with a document window, a context menu, the
// accelerators, a toolbar, icons and a string table, under these ids. The
// framework's own ids come with the framework.

#include "framework/ui/AfxRes.h"

// Menus, icons, toolbar and document strings.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDR_BNMTYPE = 129;
inline constexpr int IDR_CONTEXT = 135;

// The test program's own commands.
inline constexpr int ID_VIEW_HEADER = 32771;
inline constexpr int ID_EDIT_PROPERTIES = 32772;
inline constexpr int ID_EDIT_ALL_EXTERNAL = 32773;
inline constexpr int ID_SOUND_PLAY = 32776;
inline constexpr int ID_WINDOW_NEW_EVENT_VIEW = 32784;
inline constexpr int ID_EDIT_ALL_BANKED = 32785;
inline constexpr int ID_GAME_KORVEX = 32786;
inline constexpr int ID_GAME_LUNARIS = 32787;
inline constexpr int ID_HELP_HOMEPAGE = 32820;

struct TestResources {
    // Registers the tables with the framework in place of any before, and
    // makes their images loadable.
    static void Register();
};
