#pragma once

#include <QStringList>

#include <optional>

class QTextStream;

// Answers `--help` and `--version` on the editor's command line before any
// window system is touched, so that both work where there is no display (a
// package build, a shell over ssh, a script asking which version is there).
class CHelpAndVersion {
public:
    // The exit status once the arguments (without the program's name) asked
    // for help or the version and the answer is written to out (a failure to
    // err); nothing when the editor should start.
    static std::optional<int> Answer(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err);
};
