// Records the simulated microscope's frames into a clip until it is killed:
//   clip_writer_child <clip> <mjpeg|yuyv|raw>
// mjpeg: the camera's JPEGs into a compressed clip; yuyv: its YUYV frames
// encoded; raw: its YUYV frames stored uncompressed. After each frame is in
// the file its number goes to standard output, so whoever kills the child
// knows how many frames the clip must keep.
#include "capture/core/simulated_camera.h"
#include "capture/device/clip_writer.h"

#include <QGuiApplication>
#include <QString>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <unistd.h>

using namespace capture;

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // the slide's lettering needs fonts
    const std::string mode = argv[2];
    SimulatedCamera camera(SimulatedCamera::Model::Model1, 1);
    if (!camera.setFormat(640, 480, mode == "mjpeg" ? FormatMJPG : FormatYUY2))
        return 2;
    ClipWriter clip;
    if (!clip.open(QString::fromLocal8Bit(argv[1]), 640, 480, mode != "raw"))
        return 1;
    std::vector<uint8_t> bytes;
    for (int i = 1;; ++i) {
        camera.capture(i, bytes);
        if (!clip.offer(bytes.data(), bytes.size(), camera.format(), 640, 480))
            return 1;
        while (clip.framesWritten() < i)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%d\n", i);
        if (::write(STDOUT_FILENO, line, size_t(n)) != n)
            return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}
