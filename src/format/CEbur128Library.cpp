#include "CEbur128Library.h"

#include <QCoreApplication>

CEbur128Library::CEbur128Library(const char* soname) : m_library(soname) {
    m_library.Find(ebur128_init, "ebur128_init");
    m_library.Find(ebur128_destroy, "ebur128_destroy");
    m_library.Find(ebur128_add_frames_float, "ebur128_add_frames_float");
    m_library.Find(ebur128_loudness_global, "ebur128_loudness_global");
    m_library.Find(ebur128_true_peak, "ebur128_true_peak");
    m_library.Find(ebur128_sample_peak, "ebur128_sample_peak");
}

QString CEbur128Library::Error() const {
    return QCoreApplication::translate("CEbur128Library",
                                       "Kantel measures loudness with %1, which could not be "
                                       "loaded (%2)")
        .arg(QString::fromLocal8Bit(m_library.Name()), m_library.Why());
}

template <> CEbur128Library& CSeam<CEbur128Library>::Default() {
    static CEbur128Library library;
    return library;
}
