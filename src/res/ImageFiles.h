#pragma once

// The images compiled into this library (toolbar buttons and icons).
struct ImageFiles {
    // Makes them reachable under ":/res/". A static library's resources are
    // not registered unless something asks for them, so registering the
    // tables that name them calls this. Safe to call often.
    static void Register();
};
