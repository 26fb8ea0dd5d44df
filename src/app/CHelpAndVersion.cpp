#include "CHelpAndVersion.h"

#include "CVersionInfo.h"

#include <QTextStream>

namespace {

const char* const kHelp =
    "Usage: kantel [options] [BANK]\n"
    "Edits the sound banks (.bnm) of Korvex and Lunaris: opens BANK, or starts\n"
    "with no bank. When the editor is running already, BANK opens in that one.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "The options of every Qt program (-platform, -display, -style, ...) apply.\n"
    "kantel-cli does the same jobs without a window; see kantel(1) and kantel-cli(1).\n";

} // namespace

std::optional<int> CHelpAndVersion::Answer(const QStringList& arguments, QTextStream& out,
                                           QTextStream& err) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            out << QLatin1String(kHelp);
            out.flush();
            return 0;
        }
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            // The record the About box reads, so the two can never disagree.
            CVersionInfo info;
            if (!info.Load()) {
                err << "kantel: Error reading version resource\n";
                err.flush();
                return 1;
            }
            out << "kantel " << info.GetFileVersion() << '\n';
            out.flush();
            return 0;
        }
    }
    return std::nullopt;
}
