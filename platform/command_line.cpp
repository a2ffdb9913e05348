#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace platform {

bool asksForHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            break;
        for (const char* option : {"-h", "--help", "-?", "-v", "--version"}) {
            if (std::strcmp(a, option) == 0)
                return true;
        }
    }
    return false;
}

std::optional<int> handleCommandLine(QCommandLineParser& parser, const QStringList& arguments)
{
    const QString program = arguments.isEmpty() ? QCoreApplication::applicationName() : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for the options.\n", qPrintable(program), qPrintable(parser.errorText()),
                     qPrintable(program));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(arguments);  // Qt's own options too; prints and exits with 0
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return std::nullopt;
}

}  // namespace platform
