#pragma once

#include <span>

struct AcceleratorTable;
struct DialogTemplate;
struct IconResource;
struct MenuResource;
struct StringEntry;
struct ToolBarResource;

// The program's resource tables, handed to the framework. Each kind of
// table lives in a source of its own (Menus.cpp, Strings.cpp, ...).
class KantelResources {
public:
    // Registers every table with the framework and makes the images they
    // name loadable. Must run before the application object is made: its
    // name comes from the string table. Safe to call again.
    static void Register();

    static std::span<const MenuResource> Menus();
    static std::span<const AcceleratorTable> Accelerators();
    static std::span<const ToolBarResource> ToolBars();
    static std::span<const DialogTemplate> Dialogs();
    static std::span<const IconResource> Icons();
    // Sorted by id.
    static std::span<const StringEntry> Strings();
};
