#pragma once

#include <QString>

// The games are Windows programs installed in a Wine prefix, and what their
// installers wrote (the ini file, its directories) is in Windows form. This
// class maps such names to host paths: "the Windows directory" is the
// prefix's drive_c/windows, drive letters go through the prefix's dosdevices,
// and every existing component is matched without regard to case, as Windows
// would.
class CWinePrefix {
public:
    // $WINEPREFIX, or ~/.wine when it is not set.
    static QString Prefix();
    // The host folder of the Windows directory.
    static QString WindowsDirectory();
    // A Windows path as a host path: "C:\Windows\x.ini" through the drive's
    // dosdevices link (drive_c for C: when there is no link), a name without
    // a drive or root relative to the current folder, a host path unchanged.
    static QString ToHostPath(const QString& windowsPath);
    // A file name the way the private-profile functions resolve it: one
    // without a full path lies in the Windows directory.
    static QString ProfilePath(const QString& fileName);
};
