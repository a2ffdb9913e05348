// The live pipeline's cost per frame, beside the work nobody can avoid,
// measured in the same run:
//  - MJPEG 1920 x 1080: the whole pipeline (decode, colour mode, flips,
//    overlay, composition of the display image) against libjpeg-turbo's
//    decode alone of the same frames; goal 1.3 x.
//  - YUYV 1920 x 1080: the pipeline's conversion (OpenCV's, called into the
//    display picture) against a plain single-threaded cvtColor; goal 1.5 x.
//  - Streaming recorded 1920 x 1080 and 2592 x 1944 MJPEG at 30 fps through
//    a slot: frames shown per second and CPU time of the process; goals 29
//    and 15 frames a second, under 60 % of one core.
//  - Allocations per frame once streaming; goal 0.
//   build/release/bin/capture_bench
#include "capture/core/pixel_convert.h"
#include "capture/core/simulated_camera.h"
#include "capture/device/capture_device.h"
#include "capture/device/simulated_backend.h"
#include "capture/device/yuyv_display.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sys/resource.h>
#include <thread>

#include <jpeglib.h>

namespace {

// Allocations made by the measuring thread while it counts (other threads
// of the process, Qt's among them, do not take part in the frame).
std::atomic<long> g_allocations{0};
thread_local bool t_counting = false;

}  // namespace

void* operator new(size_t size)
{
    if (t_counting)
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::vector<uint8_t>> recordFrames(int w, int h, int format, int count)
{
    capture::SimulatedCamera cam(capture::SimulatedCamera::Model::FiveMegapixel, 1);
    cam.setFormat(w, h, format);
    std::vector<std::vector<uint8_t>> frames(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        cam.capture(i * 3, frames[static_cast<size_t>(i)]);
    return frames;
}

double msPerFrame(const std::function<void(size_t)>& work, size_t frames, int rounds)
{
    work(0);  // warm up
    const auto start = Clock::now();
    for (int r = 0; r < rounds; ++r)
        for (size_t i = 0; i < frames; ++i)
            work(i);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / (double(rounds) * frames);
}

// libjpeg-turbo's own decode into BGR rows, nothing else.
void plainDecode(const std::vector<uint8_t>& jpeg, uint8_t* out, int stride)
{
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGR;
    c.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&c);
    while (c.output_scanline < c.output_height) {
        JSAMPROW row = out + size_t(c.output_scanline) * stride;
        jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
}

// Replays recorded frames at the camera's rate: no encoding cost on the capture thread.
class ReplaySource : public capture::CaptureSource {
public:
    ReplaySource(std::vector<std::vector<uint8_t>> frames, int w, int h) : m_frames(std::move(frames)), m_w(w), m_h(h) {}
    std::vector<capture::Capability> capabilities() override { return {{m_w, m_h, capture::FormatMJPG}}; }
    bool setFormat(int32_t w, int32_t h, int32_t f) override { return w == m_w && h == m_h && f == capture::FormatMJPG; }
    bool start() override
    {
        m_next = Clock::now();
        return true;
    }
    void stop() override {}
    capture::FrameWait nextFrame(int, capture::DeviceFrame& f) override
    {
        std::this_thread::sleep_until(m_next);
        m_next += std::chrono::microseconds(33333);
        const auto& bytes = m_frames[m_i++ % m_frames.size()];
        f = {bytes.data(), bytes.size(), m_w, m_h, capture::FormatMJPG, 0};
        return capture::FrameWait::Frame;
    }
    std::vector<capture::CameraControl> controls() override { return {}; }
    bool setControl(uint32_t, int32_t) override { return false; }
    bool stillButtonPressed() override { return false; }

private:
    std::vector<std::vector<uint8_t>> m_frames;
    int m_w, m_h;
    size_t m_i = 0;
    Clock::time_point m_next;
};

class ReplayBackend : public capture::CaptureBackend {
public:
    ReplayBackend(std::vector<std::vector<uint8_t>> frames, int w, int h) : m_frames(std::move(frames)), m_w(w), m_h(h) {}
    const char* name() const override { return "replay"; }
    std::vector<capture::FoundDevice> enumerate() override { return {{QStringLiteral("usb#vid_14c3&pid_1301#R#/dev/replay"), QStringLiteral("replay")}}; }
    std::unique_ptr<capture::CaptureSource> open(const QString&) override { return std::make_unique<ReplaySource>(m_frames, m_w, m_h); }

private:
    std::vector<std::vector<uint8_t>> m_frames;
    int m_w, m_h;
};

// A slot streaming recorded MJPEG frames, with the replay installed as the
// backend for as long as it lives.
struct ReplaySlot {
    ReplayBackend backend;
    capture::CaptureBackend* previous;
    capture::CCaptureDevice device{1};

    ReplaySlot(std::vector<std::vector<uint8_t>> frames, int w, int h) : backend(std::move(frames), w, h)
    {
        previous = capture::setCaptureBackend(&backend);
        capture::DeviceList scratch, live;
        capture::enumerateDevices(backend.enumerate(), scratch, live);
        device.Open(live[0]);
        device.Build(2, QString());
    }
    ~ReplaySlot()
    {
        device.Close();
        capture::setCaptureBackend(previous);
    }
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void streaming(int w, int h, double goalFps)
{
    ReplaySlot slot(recordFrames(w, h, capture::FormatMJPG, 8), w, h);
    capture::CCaptureDevice& device = slot.device;
    capture::LiveViewSettings view;
    view.overlay.mode = capture::OverlayGrid;
    view.overlay.spacing = 50;
    device.setViewSettings(view);
    std::atomic<int> shown{0};
    QObject::connect(&device, &capture::CCaptureDevice::frameReady, &device, [&] {
        if (device.mailbox().latest())
            ++shown;
    });
    device.Run();
    // The GUI thread sleeps in its event loop between frames, as in the program.
    const auto runFor = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    runFor(500);
    shown = 0;
    const double cpu0 = cpuSeconds();
    QElapsedTimer t;
    t.start();
    runFor(4000);
    const double seconds = t.elapsed() / 1000.0;
    const double cpu = (cpuSeconds() - cpu0) / seconds;
    std::printf("stream MJPEG %4dx%-4d at 30 fps: %5.1f frames/s shown (goal %.0f), %4.0f %% of a core (goal 60 %%)%s\n", w, h,
                shown / seconds, goalFps, cpu * 100, shown / seconds < goalFps || cpu > 0.6 ? "  over" : "");
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    cv::setNumThreads(1);
    const int w = 1920, h = 1080, stride = capture::rowStride(w);

    // MJPEG: the whole pipeline against a bare decode.
    const auto jpegs = recordFrames(w, h, capture::FormatMJPG, 8);
    std::vector<uint8_t> rows(size_t(stride) * h);
    const double decodeMs = msPerFrame([&](size_t i) { plainDecode(jpegs[i], rows.data(), stride); }, jpegs.size(), 8);
    auto slot = std::make_unique<ReplaySlot>(jpegs, w, h);
    capture::CCaptureDevice& device = slot->device;
    // A recording view with the scale cross: the usual case, and the worst
    // (mirror and negative on top) printed beside it.
    capture::LiveViewSettings view;
    view.overlay.mode = capture::OverlayScaleCross;
    view.overlay.spacing = 20;
    view.statusText = QStringLiteral("Recording......");
    device.setViewSettings(view);
    const auto frameOf = [&](size_t i) { return capture::DeviceFrame{jpegs[i].data(), jpegs[i].size(), w, h, capture::FormatMJPG, 0}; };
    const auto throughPipeline = [&](size_t i) {
        device.processFrame(frameOf(i % jpegs.size()));
        device.mailbox().latest();
    };
    const double pipelineMs = msPerFrame(throughPipeline, jpegs.size(), 8);
    const long before = g_allocations.load();
    t_counting = true;
    for (size_t i = 0; i < 64; ++i)
        throughPipeline(i);
    t_counting = false;
    const double allocations = double(g_allocations.load() - before) / 64.0;
    view.mirror = true;
    view.colourMode = capture::Negative;
    device.setViewSettings(view);
    const double worstMs = msPerFrame(throughPipeline, jpegs.size(), 8);
    slot.reset();

    // YUYV: our conversion against OpenCV's.
    const auto yuyvs = recordFrames(w, h, capture::FormatYUY2, 4);
    // Both into 32-bit pixels, what the live view shows at 1:1.
    cv::Mat bgra(h, w, CV_8UC4);
    const double cvMs = msPerFrame([&](size_t i) {
        const cv::Mat src(h, w, CV_8UC2, const_cast<uint8_t*>(yuyvs[i].data()));
        cv::cvtColor(src, bgra, cv::COLOR_YUV2BGRA_YUYV);
    }, yuyvs.size(), 16);
    std::vector<uint32_t> display(size_t(w) * h);
    const double oursMs = msPerFrame([&](size_t i) {
        capture::yuyvToDisplayFast(yuyvs[i].data(), yuyvs[i].size(), display.data(), w, h, w);
    }, yuyvs.size(), 16);

    std::printf("MJPEG 1920x1080 pipeline   %7.2f ms   decode alone %7.2f ms   ratio %.2f (goal 1.30)%s\n", pipelineMs, decodeMs,
                pipelineMs / decodeMs, pipelineMs / decodeMs > 1.3 ? "  over" : "");
    std::printf("MJPEG 1920x1080 pipeline, mirrored negative %7.2f ms   ratio %.2f\n", worstMs, worstMs / decodeMs);
    std::printf("YUYV  1920x1080 conversion %7.2f ms   OpenCV       %7.2f ms   ratio %.2f (goal 1.50)%s\n", oursMs, cvMs, oursMs / cvMs,
                oursMs / cvMs > 1.5 ? "  over" : "");
    std::printf("allocations per frame once streaming: %.2f (goal 0)\n", allocations);
    streaming(1920, 1080, 29);
    streaming(2592, 1944, 15);
    return 0;
}
