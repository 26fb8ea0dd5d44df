#include "CKantelApp.h"

#include <csignal>

// The one application object; AfxWinMain finds it.
CKantelApp theApp;

int main(int argc, char* argv[]) {
    // A write past the file size limit (ulimit -f) must fail with EFBIG and
    // be reported like a full disk, not kill the editor with every unsaved
    // bank in it.
    std::signal(SIGXFSZ, SIG_IGN);
    return AfxWinMain(argc, argv);
}

#if defined(__SANITIZE_ADDRESS__)
// In a sanitizer build, the allocations that D-Bus and fontconfig make once
// and keep for the life of the process are not leaks of ours; without this
// the editor's own exit status would report them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libdbus\nleak:libQt6DBus\n";
}
#endif
