#include "CHelpAndVersion.h"
#include "CKantelApp.h"

#include <QStringList>
#include <QTextStream>

#include <csignal>
#include <cstdio>

// The one application object; AfxWinMain finds it.
CKantelApp theApp;

int main(int argc, char* argv[]) {
    // A write past the file size limit (ulimit -f) must fail with EFBIG and
    // be reported like a full disk, not kill the editor with every unsaved
    // bank in it.
    std::signal(SIGXFSZ, SIG_IGN);
    // Before the QApplication, which would need a display only to say this.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (const std::optional<int> status = CHelpAndVersion::Answer(arguments, out, err)) {
        return *status;
    }
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
