#pragma once

#include "IShellOpener.h"

// The real desktop "open" through xdg-open, and the place where the current
// opener is found (a test installs a stand-in with CShellOpenerGuard).
class CShellOpener final : public IShellOpener {
public:
    static constexpr int kSuccess = 42;
    static constexpr int kFileNotFound = 2;
    static constexpr int kPathNotFound = 3;
    static constexpr int kAccessDenied = 5;
    static constexpr int kNoAssociation = 31;

    int Open(const QString& name) override;

    // The current opener: the installed one, else the real one.
    static IShellOpener& Current();
    // Makes opener current (not owned); returns the one it replaces.
    static IShellOpener* Install(IShellOpener* opener);
};
