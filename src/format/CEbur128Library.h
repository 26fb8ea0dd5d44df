#pragma once

#include "CSharedLibrary.h"

#include "framework/core/CSeam.h"

#include <QString>

#include <ebur128.h>

// The functions of libebur128 that CLoudnessMeter measures with, found when
// a loudness is first measured. The current one is CSeam<CEbur128Library>'s:
// by default libebur128.so.1, loaded once for the program (on whichever
// thread asks first); a test may put one in place that names a library that
// does not exist.
class CEbur128Library {
public:
    explicit CEbur128Library(const char* soname = "libebur128.so.1");

    // Every function below is set.
    bool IsLoaded() const { return m_library.IsLoaded(); }
    // For the user, when it is not loaded: which library and why.
    QString Error() const;

    decltype(&::ebur128_init) ebur128_init = nullptr;
    decltype(&::ebur128_destroy) ebur128_destroy = nullptr;
    decltype(&::ebur128_add_frames_float) ebur128_add_frames_float = nullptr;
    decltype(&::ebur128_loudness_global) ebur128_loudness_global = nullptr;
    decltype(&::ebur128_true_peak) ebur128_true_peak = nullptr;
    decltype(&::ebur128_sample_peak) ebur128_sample_peak = nullptr;

private:
    CSharedLibrary m_library;
};

template <> CEbur128Library& CSeam<CEbur128Library>::Default();
