// vellumet-wifi-sim: a simulated WiFi microscope on 127.0.0.1.
//   --page-port N    the pages (default: any free port)
//   --stream-port N  the stream and the control commands (default: any free port)
//   --fps N          frames a second (default 30)
// Prints "pages 127.0.0.1:<port> stream 127.0.0.1:<port>" once serving. Each
// line on stdin and each SIGUSR1 presses the still button; SIGTERM or SIGINT
// ends it.

#include "wifi/sim/simulated_wifi_camera.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Taken by the signal descriptor below; blocked before any thread starts
    // so that no server thread receives them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::perror("vellumet-wifi-sim: signalfd");
        return 1;
    }

    // The slide's labels are drawn with fonts, which need a GUI application;
    // it never shows anything, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName("vellumet-wifi-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription("A simulated WiFi microscope on 127.0.0.1.");
    parser.addHelpOption();
    const QCommandLineOption pagePort("page-port", "Port of the pages (0: any free port).", "port", "0");
    const QCommandLineOption streamPort("stream-port", "Port of the stream (0: any free port).", "port", "0");
    const QCommandLineOption fps("fps", "Frames a second.", "n", "30");
    parser.addOptions({pagePort, streamPort, fps});
    parser.process(app);

    wifi::SimulatedWifiOptions options;
    bool ok[3];
    options.pagePort = parser.value(pagePort).toUShort(&ok[0]);
    options.streamPort = parser.value(streamPort).toUShort(&ok[1]);
    options.fps = parser.value(fps).toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || options.fps < 1) {
        std::fprintf(stderr, "vellumet-wifi-sim: bad option value\n");
        return 2;
    }

    wifi::SimulatedWifiCamera camera(options);
    QString why;
    if (!camera.start(&why)) {
        std::fprintf(stderr, "vellumet-wifi-sim: %s\n", qPrintable(why));
        return 1;
    }
    std::printf("pages 127.0.0.1:%u stream 127.0.0.1:%u\n", unsigned(camera.pagePort()), unsigned(camera.streamPort()));
    std::fflush(stdout);

    // stdin at its end (or /dev/null) only means no more presses from there.
    bool readStdin = true;
    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {readStdin ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info;
            if (::read(signalFd, &info, sizeof info) == ssize_t(sizeof info)) {
                if (info.ssi_signo == SIGUSR1)
                    camera.pressTrigger();
                else
                    break;
            }
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[256];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                readStdin = false;
                continue;
            }
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\n')
                    camera.pressTrigger();
            }
        }
    }
    camera.stop();
    ::close(signalFd);
    return 0;
}
