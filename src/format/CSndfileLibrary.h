#pragma once

#include "CSharedLibrary.h"

#include "framework/core/CSeam.h"

#include <QString>

#include <sndfile.h>

// The functions of libsndfile that CSoundSource decodes with, found when a
// sound is first decoded. The current one is CSeam<CSndfileLibrary>'s: by
// default libsndfile.so.1, loaded once for the program (on whichever thread
// asks first); a test may put one in place that names a library that does
// not exist.
class CSndfileLibrary {
public:
    explicit CSndfileLibrary(const char* soname = "libsndfile.so.1");

    // Every function below is set.
    bool IsLoaded() const { return m_library.IsLoaded(); }
    // For the user, when it is not loaded: which library and why.
    QString Error() const;

    decltype(&::sf_open_virtual) sf_open_virtual = nullptr;
    decltype(&::sf_close) sf_close = nullptr;
    decltype(&::sf_command) sf_command = nullptr;
    decltype(&::sf_readf_float) sf_readf_float = nullptr;
    decltype(&::sf_strerror) sf_strerror = nullptr;

private:
    CSharedLibrary m_library;
};

template <> CSndfileLibrary& CSeam<CSndfileLibrary>::Default();
