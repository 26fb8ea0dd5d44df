#pragma once

#include <QStringList>

class QTextStream;

// kantel-cli: the editor's jobs on a bank from a shell, without a display.
// Message boxes become lines on standard error; results go to standard output.
class CKantelCli {
public:
    enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

    // Runs the command line (arguments[0] is the program) and returns the exit
    // status. Needs a QCoreApplication.
    static int Run(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
