#pragma once

#include <sys/resource.h>

#include <csignal>

// Lowers the largest file size this process may write for the life of the
// guard, with SIGXFSZ ignored, so a write that passes the limit fails with
// EFBIG part-way instead of killing the test. Only the soft limit moves, so
// the old one can always be put back.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit m_previous {};
    struct sigaction m_previousAction {};
};
