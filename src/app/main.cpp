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
