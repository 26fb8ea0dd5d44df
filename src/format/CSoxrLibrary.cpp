#include "CSoxrLibrary.h"

#include <QCoreApplication>

CSoxrLibrary::CSoxrLibrary(const char* soname) : m_library(soname) {
    m_library.Find(soxr_io_spec, "soxr_io_spec");
    m_library.Find(soxr_quality_spec, "soxr_quality_spec");
    m_library.Find(soxr_create, "soxr_create");
    m_library.Find(soxr_process, "soxr_process");
    m_library.Find(soxr_delete, "soxr_delete");
}

QString CSoxrLibrary::Error() const {
    return QCoreApplication::translate("CSoxrLibrary",
                                       "Kantel changes sample rates with %1, which could not be "
                                       "loaded (%2)")
        .arg(QString::fromLocal8Bit(m_library.Name()), m_library.Why());
}

template <> CSoxrLibrary& CSeam<CSoxrLibrary>::Default() {
    static CSoxrLibrary library;
    return library;
}
