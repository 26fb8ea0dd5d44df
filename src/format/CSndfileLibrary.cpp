#include "CSndfileLibrary.h"

#include <QCoreApplication>

CSndfileLibrary::CSndfileLibrary(const char* soname) : m_library(soname) {
    m_library.Find(sf_open_virtual, "sf_open_virtual");
    m_library.Find(sf_close, "sf_close");
    m_library.Find(sf_command, "sf_command");
    m_library.Find(sf_readf_float, "sf_readf_float");
    m_library.Find(sf_strerror, "sf_strerror");
}

QString CSndfileLibrary::Error() const {
    return QCoreApplication::translate("CSndfileLibrary",
                                       "Kantel decodes sound files with %1, which could not be "
                                       "loaded (%2)")
        .arg(QString::fromLocal8Bit(m_library.Name()), m_library.Why());
}

template <> CSndfileLibrary& CSeam<CSndfileLibrary>::Default() {
    static CSndfileLibrary library;
    return library;
}
