#include "CSharedLibrary.h"

#include <dlfcn.h>

namespace {

QString lastError() {
    const char* error = ::dlerror();
    return error != nullptr ? QString::fromLocal8Bit(error) : QString();
}

} // namespace

// Bound at once, so that a library with a dependency missing fails here and
// not in the middle of a decode. Never closed: see the class.
CSharedLibrary::CSharedLibrary(const char* soname)
    : m_pName(soname), m_pHandle(::dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
    if (m_pHandle == nullptr) {
        m_why = lastError();
    }
}

void* CSharedLibrary::Symbol(const char* name) {
    if (m_pHandle == nullptr) {
        return nullptr;
    }
    ::dlerror();
    void* symbol = ::dlsym(m_pHandle, name);
    if (symbol == nullptr && m_why.isEmpty()) {
        m_why = lastError();
        if (m_why.isEmpty()) {
            m_why = QStringLiteral("%1: %2 is null")
                        .arg(QString::fromLocal8Bit(m_pName), QString::fromLatin1(name));
        }
    }
    return symbol;
}
