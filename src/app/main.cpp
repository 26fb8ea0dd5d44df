#include "CKantelApp.h"

// The one application object; AfxWinMain finds it.
CKantelApp theApp;

int main(int argc, char* argv[]) {
    return AfxWinMain(argc, argv);
}
