#pragma once

#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace platform {

// True when the arguments ask for --help or --version: those are answered
// without a window, so the program may start without a display for them.
// (--help-all lists the display's own options, so it takes the full start.)
bool asksForHelpOrVersion(int argc, char** argv);

// Parses `arguments` (the program's name first) with `parser`, which has its
// help and version options. Answers the exit status when there is nothing
// more to do: 0 after printing the help or the version, 2 after an unknown
// option or a missing value, with the reason on standard error, as a command
// does when it is misused.
std::optional<int> handleCommandLine(QCommandLineParser& parser, const QStringList& arguments);

}  // namespace platform
