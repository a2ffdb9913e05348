// The main program: live microscope windows, measuring and filing.

#include "shell/ui/CMainFrame.h"
#include "shell/ui/CScoparaApp.h"
#include "shell/ui/WarningDialogs.h"
#include "shell/ui/TerminationSignals.h"

#include "platform/known_folders.h"
#include "platform/registry.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumet"));
    QApplication::setApplicationVersion(QStringLiteral(VELLUMET_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Vellumet"));
    QApplication::setDesktopFileName(QStringLiteral("vellumet"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Live pictures, measurements and files for digital microscopes."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    shell::WarningDialogs dialogs;
    platform::setMessageDialogs(&dialogs);

    platform::Registry registry(platform::Registry::defaultFilePath());
    shell::CScoparaApp::Options options;
    options.environment = {platform::programFolder(), platform::settingsHome(), QLocale::system()};
    shell::CScoparaApp theApp(registry, options);

    shell::TerminationSignals signals;
    QObject::connect(&signals, &shell::TerminationSignals::terminationRequested, &app, [&theApp] {
        if (theApp.mainFrame())
            theApp.mainFrame()->closeWithoutAsking();
        else
            QApplication::quit();
    });

    int rc = 1;
    if (theApp.InitInstance())
        rc = QApplication::exec();
    theApp.ExitInstance();
    platform::setMessageDialogs(nullptr);
    return rc;
}
