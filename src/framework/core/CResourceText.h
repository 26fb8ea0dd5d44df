#pragma once

#include <QString>

// The one place where a text of the program's tables (menus, strings, dialog
// templates, list columns) becomes what the user reads: it goes through the
// installed translators under one context. The tables mark their texts with
// QT_TRANSLATE_NOOP("Resources", ...) so that lupdate finds them; without a
// translator the text comes back as it stands.
class CResourceText {
public:
    static constexpr const char* kContext = "Resources";

    // text (UTF-8) as the user reads it; an empty text stays empty.
    static QString Tr(const char* text);
};
