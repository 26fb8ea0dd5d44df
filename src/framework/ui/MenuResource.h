#pragma once

#include <span>

// One entry of a pop-up menu: a command with its text, or a separator (id 0
// and no text). A grayed entry is shown disabled whatever the command routing
// says; the framework uses it for placeholders it replaces.
struct MenuItem {
    int nId = 0;
    const char* pszText = nullptr;
    bool bGrayed = false;

    bool IsSeparator() const { return pszText == nullptr; }
};

// One pop-up of a menu bar (or of a context-menu resource): its title and
// entries in order.
struct MenuPopup {
    const char* pszText;
    std::span<const MenuItem> items;
};

// A menu resource as data: the pop-ups of a menu bar, left to right. Context
// menus are menu resources too; their pop-ups are taken one by one.
struct MenuResource {
    int nId;
    std::span<const MenuPopup> popups;

    // The registered menu with this id, or nullptr.
    static const MenuResource* Find(int nId);
};
