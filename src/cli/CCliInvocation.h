#pragma once

#include "CCliOptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class QTextStream;

// One command of kantel-cli as given: what follows its name, and where its
// output goes.
class CCliInvocation {
public:
    const QCommandLineParser& parser;
    const CCliOptions& options;
    QString command;
    QStringList args;
    QTextStream& out;
    QTextStream& err;

    bool IsSet(const QCommandLineOption& option) const { return parser.isSet(option); }
};
