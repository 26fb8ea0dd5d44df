#include "FileSizeLimit.h"

#include <QtGlobal>

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (sigaction(SIGXFSZ, &ignore, &m_previousAction) != 0 ||
        getrlimit(RLIMIT_FSIZE, &m_previous) != 0) {
        qFatal("cannot prepare a file size limit");
    }
    struct rlimit lowered = m_previous;
    lowered.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &lowered) != 0) {
        qFatal("cannot lower the file size limit");
    }
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    sigaction(SIGXFSZ, &m_previousAction, nullptr);
}
