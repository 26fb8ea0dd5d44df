#pragma once

#include "AcceleratorTable.h"
#include "DialogTemplate.h"
#include "IconResource.h"
#include "MenuResource.h"
#include "StringTable.h"
#include "ToolBarResource.h"

#include <span>

// Where the framework finds a program's resource tables. The framework
// defines what a menu, accelerator table, toolbar, string table, dialog
// template and icon are; the program owns the data and hands it over here
// at start-up, before its application object or main frame asks for any of
// it. Every Find and StringTable lookup searches what was registered last.
class CResourceRegistry {
public:
    struct Tables {
        std::span<const MenuResource> menus;
        std::span<const AcceleratorTable> accelerators;
        std::span<const ToolBarResource> toolBars;
        std::span<const DialogTemplate> dialogs;
        std::span<const IconResource> icons;
        // Sorted by id: lookups search it by halves.
        std::span<const StringEntry> strings;
    };

    // Makes tables the ones every lookup searches, in place of any before.
    // The tables are not copied: they must stay alive (static data) as long
    // as anything may look them up.
    static void Register(const Tables& tables);
    // What was registered last; empty spans before the first Register.
    static const Tables& Current();
};
