#pragma once

#include "framework/core/CSeam.h"

#include <QString>

// The desktop's "open": hands a file or web address to the application the
// desktop associates with it, without waiting for that application. Reached
// through CSeam<IShellOpener>.
class IShellOpener {
public:
    IShellOpener() = default;
    IShellOpener(const IShellOpener&) = delete;
    IShellOpener& operator=(const IShellOpener&) = delete;
    virtual ~IShellOpener() = default;

    // Above 32 on success; otherwise the failure code of the Windows shell
    // (2 file not found, 3 path not found, 5 access denied, 26 sharing
    // violation, 31 no application associated, others as they come).
    virtual int Open(const QString& name) = 0;
};

// CShellOpener, through xdg-open.
template <> IShellOpener& CSeam<IShellOpener>::Default();
