#pragma once

// The implementation of Interface the program talks to now. Every place where
// the program talks to a person or to the desktop (message boxes, dialogs,
// sound, the shell, the settings store...) is an interface reached only
// through its seam, so a test puts a stand-in in place with a Guard and the
// real implementation is back when the guard ends.
//
// Each seam names its default once, in a source file of the layer that holds
// the default, and declares that choice beside the interface:
//
//   // CModalRunner.h
//   template <> CModalRunner& CSeam<CModalRunner>::Default();
//   // CModalRunner.cpp
//   template <> CModalRunner& CSeam<CModalRunner>::Default() {
//       static CQtModalRunner qtRunner;
//       return qtRunner;
//   }
//
// That keeps a real implementation in the layer that may know it: this layer
// never sees the Qt widgets behind a seam of a layer above.
template <class Interface> class CSeam {
public:
    CSeam() = delete;

    // The implementation of the live guard that started last, else the
    // default.
    static Interface& Current() {
        return s_pTop != nullptr && s_pTop->m_pImplementation != nullptr
                   ? *s_pTop->m_pImplementation
                   : Default();
    }

    // Makes an implementation current for the guard's lifetime (not owned;
    // nullptr makes the default current); when it ends, the one it replaced
    // is current again. Scoped guards end in the reverse order of their
    // start; one that ends out of turn (a test's stand-in destroyed while
    // the application's sink is still installed above it) only leaves the
    // chain, so no guard ever puts back an implementation that is gone.
    class Guard {
    public:
        explicit Guard(Interface* pImplementation)
            : m_pImplementation(pImplementation), m_pBelow(s_pTop) {
            s_pTop = this;
        }
        ~Guard() {
            Guard** ppLink = &s_pTop;
            while (*ppLink != this) {
                ppLink = &(*ppLink)->m_pBelow;
            }
            *ppLink = m_pBelow;
        }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        friend class CSeam;
        Interface* m_pImplementation;
        Guard* m_pBelow;
    };

private:
    // Lives as long as the program; defined once for each interface.
    static Interface& Default();

    static inline Guard* s_pTop = nullptr;
};
