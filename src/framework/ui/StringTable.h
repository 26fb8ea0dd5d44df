#pragma once

#include <QString>

// One string of a string table. A command's text is its status-bar prompt,
// then "\n" and its tool tip.
struct StringEntry {
    int nId;
    const char* pszText;
};

// The registered string table: the program's texts by id.
struct StringTable {
    // The string with this id; empty when there is none.
    static QString Load(int nId);
    static bool Contains(int nId);

    // The halves of a command's entry: before and after the first "\n". A
    // string without "\n" is all prompt and has no tool tip.
    static QString Prompt(int nId);
    static QString ToolTip(int nId);
};
