#pragma once

#include <QString>

#include <bit>

// A shared library opened with dlopen by its SONAME when first needed, so
// that a start that never needs it does not pay the dynamic loader for it.
// It stays loaded as long as the program: its functions may be running on
// any thread until the end.
class CSharedLibrary {
public:
    // Opens soname; when that fails, IsLoaded() is false and Why() says why.
    explicit CSharedLibrary(const char* soname);
    CSharedLibrary(const CSharedLibrary&) = delete;
    CSharedLibrary& operator=(const CSharedLibrary&) = delete;
    ~CSharedLibrary() = default;

    // Opened, and every function asked for found.
    bool IsLoaded() const { return m_pHandle != nullptr && m_why.isEmpty(); }
    const char* Name() const { return m_pName; }
    // The loader's words for the first thing that failed.
    const QString& Why() const { return m_why; }

    // Sets function to the library's function of that name, or to nullptr
    // (and IsLoaded() to false) when the library has none. Function is the
    // pointer type of the function's declaration in the library's header,
    // so the two cannot disagree.
    template <typename Function> void Find(Function& function, const char* name) {
        function = std::bit_cast<Function>(Symbol(name));
    }

private:
    void* Symbol(const char* name);

    const char* m_pName;
    void* m_pHandle = nullptr;
    QString m_why;
};
