#pragma once

#include <QString>

// A count and what it counts, in the user's language: the plural forms a
// loaded translation gives for a "%n ...(s)" text, and without one the
// English forms the text spells, since no English translation ships and Qt
// alone would print "(s)".
class CPlural {
public:
    // source is marked QT_TRANSLATE_N_NOOP(context, ...) so that lupdate
    // lists it with plural forms; each "(s)" in it is English's plural
    // ending, dropped for one and "s" for any other count.
    static QString Text(const char* context, const char* source, int n);
};
