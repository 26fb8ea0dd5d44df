#pragma once

#include <QString>

// One entry of the names file: the name and description of the resource at
// one table position. An entry no line filled has no id and matches nothing.
struct ResourceName {
    bool hasId = false;
    int id = 0; // -1 for a line of only blanks and tabs
    QString name;
    QString description;
};
