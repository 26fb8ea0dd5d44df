#pragma once

// The images compiled into this library (toolbar buttons and icons).
struct ImageFiles {
    // Makes them reachable under ":/res/". A static library's resources are
    // not registered unless something asks for them, so every table that
    // hands out image paths calls this first. Safe to call often.
    static void Register();
};
