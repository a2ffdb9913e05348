// The main program: live microscope windows, measuring and filing.

#include "shell/ui/CMainFrame.h"
#include "shell/ui/CScoparaApp.h"
#include "shell/ui/WarningDialogs.h"

#include "platform/command_line.h"
#include "platform/known_folders.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "platform/termination_signals.h"

#include "capture/device/capture_backend.h"
#include "wifi/core/wifi_camera.h"
#include "wifi/sim/simulated_wifi_camera.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char* argv[])
{
    // --help and --version need no display.
    const std::unique_ptr<QCoreApplication> app = platform::asksForHelpOrVersion(argc, argv)
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumet"));
    QApplication::setApplicationVersion(QStringLiteral(VELLUMET_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Vellumet"));
    QApplication::setDesktopFileName(QStringLiteral("vellumet"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Live pictures, measurements and files for digital microscopes."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Use <n> simulated microscopes (1 to 5) instead of the USB devices."),
                                      QStringLiteral("n"));
    parser.addOption(simulate);
    const QCommandLineOption simulateWifi(QStringLiteral("simulate-wifi"),
                                          QStringLiteral("Serve a simulated WiFi microscope on this machine and connect to it "
                                                         "(Connect WiFi Microscope)."));
    parser.addOption(simulateWifi);
    parser.addPositionalArgument(QStringLiteral("pictures"),
                                 QStringLiteral("BMP or JPEG pictures to open, each in a window of its own."),
                                 QStringLiteral("[PICTURE...]"));
    if (const auto status = platform::handleCommandLine(parser, QCoreApplication::arguments()))
        return *status;

    QStringList pictures;
    for (const QString& picture : parser.positionalArguments())
        pictures.append(QFileInfo(picture).absoluteFilePath());
    // A second start (a file manager's "Open with" while Vellumet runs) hands
    // its pictures to the running program, which opens them in front, rather
    // than running a second program on the same settings files.
    platform::SingleInstance instance(QStringLiteral("vellumet"));
    if (!instance.isFirst()) {
        if (instance.handOver(pictures)) {
            std::fprintf(stderr, "vellumet: already running; %lld picture(s) handed to it\n",
                         static_cast<long long>(pictures.size()));
            return 0;
        }
        std::fprintf(stderr, "vellumet: another Vellumet is running here but does not answer\n");
        return 1;
    }

    // The camera backend of this run, named on the terminal.
    const char* backendName = "v4l2";
    int devices = 0;
    if (parser.isSet(simulate)) {
        bool ok = false;
        devices = parser.value(simulate).toInt(&ok);
        if (!ok || devices < 1 || devices > 5) {
            std::fprintf(stderr, "vellumet: --simulate takes a number from 1 to 5\n");
            return 2;
        }
        backendName = "simulated";
    }
    std::unique_ptr<capture::CaptureBackend> cameras;
    for (const capture::BackendEntry& entry : capture::backendTable()) {
        if (std::strcmp(entry.name, backendName) == 0)
            cameras = entry.create(devices);
    }
    if (devices > 0)
        std::fprintf(stderr, "vellumet: camera backend: simulated, %d microscope%s\n", devices, devices > 1 ? "s" : "");
    else
        std::fprintf(stderr, "vellumet: camera backend: %s\n", cameras->name());

    // The simulated WiFi microscope serves its pages and stream on loopback
    // for as long as the program runs.
    std::unique_ptr<wifi::SimulatedWifiCamera> simulatedWifi;
    std::optional<wifi::CameraAddress> wifiAddress;
    if (parser.isSet(simulateWifi)) {
        simulatedWifi = std::make_unique<wifi::SimulatedWifiCamera>();
        QString why;
        if (!simulatedWifi->start(&why)) {
            std::fprintf(stderr, "vellumet: the simulated WiFi microscope cannot start: %s\n", qPrintable(why));
            return 1;
        }
        wifiAddress = wifi::CameraAddress{};
        wifiAddress->host = QStringLiteral("127.0.0.1");
        wifiAddress->pagePort = simulatedWifi->pagePort();
        wifiAddress->streamPort = simulatedWifi->streamPort();
        std::fprintf(stderr, "vellumet: simulated WiFi microscope: pages 127.0.0.1:%d, stream 127.0.0.1:%d\n",
                     wifiAddress->pagePort, wifiAddress->streamPort);
    }

    // Otherwise the address in the settings, read at each look.
    wifi::WifiCamera wifiCamera(wifiAddress);

    shell::WarningDialogs dialogs;
    platform::setMessageDialogs(&dialogs);

    platform::Registry registry(platform::Registry::defaultFilePath());
    shell::CScoparaApp::Options options;
    options.environment = {platform::programFolder(), platform::settingsHome(), QLocale::system()};
    options.cameras = cameras.get();
    options.wifiCamera = &wifiCamera;
    options.pictures = pictures;
    shell::CScoparaApp theApp(registry, options);
    QObject::connect(&instance, &platform::SingleInstance::handedOver, &theApp, &shell::CScoparaApp::openHandedPictures);

    // A logout or Ctrl+C ends every event loop, the main one and any dialog's
    // (the start-up's message box, a file dialog); the main window is closed
    // after them, when no dialog of it is left on the stack.
    platform::TerminationSignals signals;
    bool terminated = false;
    QObject::connect(&signals, &platform::TerminationSignals::terminationRequested, app.get(), [&terminated] {
        terminated = true;
        QApplication::exit(0);
    });

    int rc = 1;
    if (theApp.InitInstance())
        rc = terminated ? 0 : QApplication::exec();
    if (terminated && theApp.mainFrame())
        theApp.mainFrame()->closeWithoutAsking();
    theApp.ExitInstance();
    platform::setMessageDialogs(nullptr);
    return rc;
}
