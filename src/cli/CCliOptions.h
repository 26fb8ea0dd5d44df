#pragma once

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;

// The options of kantel-cli, each of which only some commands take, and
// their flags.
class CCliOptions {
public:
    static constexpr unsigned Json = 1;
    static constexpr unsigned Output = 2;
    static constexpr unsigned AllExternal = 4;
    static constexpr unsigned AllBanked = 8;
    static constexpr unsigned KeepRate = 16;
    static constexpr unsigned Resource = 32;
    static constexpr unsigned Force = 64;
    static constexpr unsigned Records = 128;
    static constexpr unsigned Quiet = 256;
    static constexpr unsigned Verbose = 512;
    static constexpr unsigned MatchLoudness = 1024;
    static constexpr unsigned DryRun = 2048;

    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Print JSON instead of text.")};
    QCommandLineOption records{QStringLiteral("records"),
                               QStringLiteral("Print the records' own fields as JSON, numbers "
                                              "as numbers.")};
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Save to <file> instead of the bank."),
                              QStringLiteral("file")};
    QCommandLineOption allExternal{QStringLiteral("all-external"),
                                   QStringLiteral("Make every sample external first.")};
    QCommandLineOption allBanked{QStringLiteral("all-banked"),
                                 QStringLiteral("Bank every sample first.")};
    QCommandLineOption keepRate{QStringLiteral("keep-rate"),
                                QStringLiteral("Import at the sound file's own sample rate.")};
    QCommandLineOption matchLoudness{
        QStringLiteral("match-loudness"),
        QStringLiteral("Scale each new sound to the loudness of the one it replaces, never past "
                       "a true peak of -1 dBTP.")};
    QCommandLineOption resource{QStringLiteral("resource"),
                                QStringLiteral("Export only <resource>: its table index, or "
                                               "its name in the names file."),
                                QStringLiteral("resource")};
    QCommandLineOption force{QStringLiteral("force"),
                             QStringLiteral("Export replaces files that are there already.")};
    QCommandLineOption quiet{QStringList{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("Say nothing but errors.")};
    QCommandLineOption verbose{QStringLiteral("verbose"),
                               QStringLiteral("List every file written, one a line.")};
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Say what replace would do; write nothing.")};

    // The flags of the options set on parser.
    unsigned SetOn(const QCommandLineParser& parser) const;
    // Every option, for the parser to know them.
    QList<QCommandLineOption> All() const;
};
