#pragma once

#include <QString>

// The string table: the program's texts by id. A command's entry is its
// status-bar prompt, then "\n" and its tool tip.
struct StringTable {
    // The string with this id; empty when there is none.
    static QString Load(int nId);
    static bool Contains(int nId);

    // The halves of a command's entry: before and after the first "\n". A
    // string without "\n" is all prompt and has no tool tip.
    static QString Prompt(int nId);
    static QString ToolTip(int nId);
};
