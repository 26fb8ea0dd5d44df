#pragma once

#include "CSharedLibrary.h"

#include "framework/core/CSeam.h"

#include <QString>

#include <soxr.h>

// The functions of libsoxr that CSoundConverter changes sample rates with,
// found when a sound is first resampled. The current one is
// CSeam<CSoxrLibrary>'s: by default libsoxr.so.0, loaded once for the
// program (on whichever thread asks first); a test may put one in place that
// names a library that does not exist.
class CSoxrLibrary {
public:
    explicit CSoxrLibrary(const char* soname = "libsoxr.so.0");

    // Every function below is set.
    bool IsLoaded() const { return m_library.IsLoaded(); }
    // For the user, when it is not loaded: which library and why.
    QString Error() const;

    decltype(&::soxr_io_spec) soxr_io_spec = nullptr;
    decltype(&::soxr_quality_spec) soxr_quality_spec = nullptr;
    decltype(&::soxr_create) soxr_create = nullptr;
    decltype(&::soxr_process) soxr_process = nullptr;
    decltype(&::soxr_delete) soxr_delete = nullptr;

private:
    CSharedLibrary m_library;
};

template <> CSoxrLibrary& CSeam<CSoxrLibrary>::Default();
