// The live pipeline's cost per frame, beside the work nobody can avoid,
// measured in the same run, on two kinds of frames: the simulated stage
// micrometer on a clean slide (it compresses far better than a real sample)
// and the same slide with a specimen's grain and sensor noise, as a real
// microscope sends them.
//  - MJPEG 1920 x 1080: the whole pipeline (decode, colour mode, flips,
//    overlay, composition of the display image) against libjpeg-turbo's
//    decode alone of the same frames; goal 1.3 x.
//  - MJPEG 2592 x 1944 shown at zoom 0.5: the whole pipeline against a full
//    decode; goal 0.4 x.
//  - YUYV 1920 x 1080: the pipeline's conversion (OpenCV's, called into the
//    display picture) against a plain single-threaded cvtColor; goal 1.5 x.
//  - Streaming recorded 1920 x 1080 and 2592 x 1944 MJPEG at 30 fps through
//    a slot: frames shown per second and CPU time of the process; goals 29
//    and 15 frames a second, under 60 % of one core.
//  - Five slots streaming 1920 x 1080 MJPEG at 30 fps each, shown at zoom
//    0.5: at least 29 frames a second in each, under 100 % of one core in all;
//    beside it libjpeg-turbo's half-size decode alone of as many frames with
//    every core busy, which no pipeline of these frames goes below.
//  - Allocations per frame once streaming; goal 0.
//  - Recording 1920 x 1080 at 5 frames a second, the whole cost in the
//    process (hand-over, conversion, encoding, writing, the header refresh
//    and sync): from an MJPEG camera (its JPEGs go in as they are) at most
//    2 % of a core, from a YUYV camera (encoded) at most 10 %, beside
//    OpenCV's writer doing the same; and a slot streaming 30 fps shows as
//    many frames a second while it records as while it does not (within 2 %).
// Per-frame costs are CPU time of the measuring thread, so that other work on
// a shared machine does not count; streaming counts the whole process.
//   build/release/bin/capture_bench
#include "capture/core/pixel_convert.h"
#include "capture/core/simulated_camera.h"
#include "capture/core/yuyv_display.h"
#include "capture/device/clip_writer.h"
#include "capture/device/live_stream.h"
#include "capture/device/simulated_backend.h"
#include "wifi/core/http_get.h"
#include "wifi/core/mjpeg_source.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>
#include <numeric>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <tuple>

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

// The kinds of frames measured.
struct FrameKind {
    const char* name;
    bool textured;
};
constexpr FrameKind kKinds[] = {{"clean slide", false}, {"textured sample", true}};

std::vector<std::vector<uint8_t>> recordFrames(int w, int h, int format, int count, bool textured)
{
    capture::SimulatedCamera cam(capture::SimulatedCamera::Model::FiveMegapixel, 1);
    cam.setSpecimenTexture(textured);
    cam.setFormat(w, h, format);
    std::vector<std::vector<uint8_t>> frames(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        cam.capture(i * 3, frames[static_cast<size_t>(i)]);
    return frames;
}

// CPU time of the measuring thread: on a machine shared with other work
// the wall clock would count the time others had the core.
double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double threadCpuMs()
{
    return cpuMs(CLOCK_THREAD_CPUTIME_ID);
}

double msPerFrame(const std::function<void(size_t)>& work, size_t frames, int rounds)
{
    work(0);  // warm up
    const double start = threadCpuMs();
    for (int r = 0; r < rounds; ++r)
        for (size_t i = 0; i < frames; ++i)
            work(i);
    return (threadCpuMs() - start) / (double(rounds) * frames);
}

// libjpeg-turbo's own decode into BGR rows, nothing else; at 1 / denom of
// the size for the floor of a picture shown smaller.
void plainDecode(const std::vector<uint8_t>& jpeg, uint8_t* out, int stride, unsigned denom = 1)
{
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGR;
    c.dct_method = JDCT_ISLOW;
    c.scale_num = 1;
    c.scale_denom = denom;
    jpeg_start_decompress(&c);
    while (c.output_scanline < c.output_height) {
        JSAMPROW row = out + size_t(c.output_scanline) * stride;
        jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
}

// libjpeg-turbo's decode alone at 1 / denom of the size, ms per frame, with
// every core decoding at once as they do when several slots stream: cores
// that share caches and memory each decode slower than one alone.
double busyDecodeMs(const std::vector<std::vector<uint8_t>>& jpegs, int w, int h, unsigned denom)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<double> ms(cores);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < cores; ++t)
        threads.emplace_back([&, t] {
            const int stride = capture::rowStride(w);
            std::vector<uint8_t> rows(size_t(stride) * h);
            ms[t] = msPerFrame([&](size_t i) { plainDecode(jpegs[i], rows.data(), stride, denom); }, jpegs.size(), 8);
        });
    for (auto& thread : threads)
        thread.join();
    return std::accumulate(ms.begin(), ms.end(), 0.0) / double(cores);
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
    ReplayBackend(std::vector<std::vector<uint8_t>> frames, int w, int h, int devices)
        : m_frames(std::move(frames)), m_w(w), m_h(h), m_devices(devices)
    {
    }
    const char* name() const override { return "replay"; }
    std::vector<capture::FoundDevice> enumerate() override
    {
        std::vector<capture::FoundDevice> found;
        for (int i = 0; i < m_devices; ++i)
            found.push_back({QStringLiteral("usb#vid_14c3&pid_1301#R%1#/dev/replay%1").arg(i), QStringLiteral("replay")});
        return found;
    }
    std::unique_ptr<capture::CaptureSource> open(const QString&) override
    {
        return std::make_unique<ReplaySource>(m_frames, m_w, m_h);
    }

private:
    std::vector<std::vector<uint8_t>> m_frames;
    int m_w, m_h, m_devices;
};

// Slots streaming recorded MJPEG frames from the replay backend.
struct ReplaySlots {
    ReplayBackend backend;
    std::vector<std::unique_ptr<capture::LiveStream>> devices;

    ReplaySlots(std::vector<std::vector<uint8_t>> frames, int w, int h, int count = 1) : backend(std::move(frames), w, h, count)
    {
        capture::DeviceList scratch, live;
        capture::enumerateDevices(backend.enumerate(), scratch, live);
        for (int i = 0; i < count; ++i) {
            devices.push_back(std::make_unique<capture::LiveStream>(capture::StreamDescription{}));
            devices.back()->Open(backend.open(live[static_cast<size_t>(i)].devicePath));
            devices.back()->Build(2, QString());
        }
    }
    ~ReplaySlots()
    {
        for (auto& device : devices)
            device->Close();
    }
    capture::LiveStream& stream() { return *devices.front(); }
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The GUI thread sleeps in its event loop between frames, as in the program.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// `slots` slots streaming recorded frames at 30 fps, shown at `zoom`, the
// last `hidden` of them in windows nobody sees: the fewest frames a second
// one of the shown ones showed, and the share of one core the process used.
std::pair<double, double> streaming(const std::vector<std::vector<uint8_t>>& frames, int w, int h, int slots, double zoom,
                                    const QString& clipFolder = {}, int hidden = 0)
{
    ReplaySlots replay(frames, w, h, slots);
    // A recording view's 200 ms pacing ticks.
    QTimer pacing;
    QObject::connect(&pacing, &QTimer::timeout, [&replay] {
        for (auto& device : replay.devices)
            device->pacer().tick();
    });
    capture::LiveViewSettings view;
    view.zoomX = view.zoomY = zoom;
    view.overlay.mode = measure::OverlayGrid;
    view.overlay.spacing = 50;
    std::vector<std::atomic<int>> shown(static_cast<size_t>(slots));
    for (int i = 0; i < slots; ++i) {
        capture::LiveStream& device = *replay.devices[static_cast<size_t>(i)];
        device.setViewSettings(view);
        device.setShown(i < slots - hidden);
        std::atomic<int>& count = shown[static_cast<size_t>(i)];
        QObject::connect(&device, &capture::LiveStream::frameReady, &device, [&device, &count] {
            if (device.mailbox().latest())
                ++count;
        });
        device.Run();
        if (!clipFolder.isEmpty())
            device.StartClip(clipFolder, QStringLiteral("slot%1_").arg(i + 1), true);
    }
    if (!clipFolder.isEmpty())
        pacing.start(200);
    runFor(500);
    for (auto& count : shown)
        count = 0;
    const double cpu0 = cpuSeconds();
    QElapsedTimer t;
    t.start();
    runFor(4000);
    const double seconds = t.elapsed() / 1000.0;
    const double cpu = (cpuSeconds() - cpu0) / seconds;
    int fewest = shown[0];
    for (int i = 0; i < slots - hidden; ++i)
        fewest = std::min(fewest, shown[static_cast<size_t>(i)].load());
    return {fewest / seconds, cpu};
}

void printStreaming(const std::vector<std::vector<uint8_t>>& frames, int w, int h, double goalFps)
{
    const auto [fps, cpu] = streaming(frames, w, h, 1, 1.0);
    std::printf("  stream MJPEG %4dx%-4d at 30 fps: %5.1f frames/s shown (goal %.0f), %4.0f %% of a core (goal 60 %%)%s\n", w, h,
                fps, goalFps, cpu * 100, fps < goalFps || cpu > 0.6 ? "  over" : "");
}

// The whole pipeline of one slot for recorded frames, ms per frame.
double pipelineMs(capture::LiveStream& device, const std::vector<std::vector<uint8_t>>& jpegs, int w, int h)
{
    return msPerFrame(
        [&](size_t i) {
            const auto& bytes = jpegs[i % jpegs.size()];
            device.processFrame({bytes.data(), bytes.size(), w, h, capture::FormatMJPG, 0});
            device.mailbox().latest();
        },
        jpegs.size(), 8);
}

double meanSize(const std::vector<std::vector<uint8_t>>& frames)
{
    double sum = 0;
    for (const auto& f : frames)
        sum += double(f.size());
    return sum / double(frames.size());
}

void measureKind(const FrameKind& kind)
{
    std::printf("%s:\n", kind.name);
    const int w = 1920, h = 1080, stride = capture::rowStride(w);

    // MJPEG: the whole pipeline against a bare decode.
    const auto jpegs = recordFrames(w, h, capture::FormatMJPG, 8, kind.textured);
    std::vector<uint8_t> rows(size_t(stride) * h);
    const double decodeMs = msPerFrame([&](size_t i) { plainDecode(jpegs[i], rows.data(), stride); }, jpegs.size(), 8);
    auto slot = std::make_unique<ReplaySlots>(jpegs, w, h);
    capture::LiveStream& device = slot->stream();
    // A recording view with the scale cross: the usual case, and the worst
    // (mirror and negative on top) printed beside it.
    capture::LiveViewSettings view;
    view.overlay.mode = measure::OverlayScaleCross;
    view.overlay.spacing = 20;
    view.statusText = QStringLiteral("Recording......");
    device.setViewSettings(view);
    const double oneToOneMs = pipelineMs(device, jpegs, w, h);
    const long before = g_allocations.load();
    t_counting = true;
    for (size_t i = 0; i < 64; ++i) {
        const auto& bytes = jpegs[i % jpegs.size()];
        device.processFrame({bytes.data(), bytes.size(), w, h, capture::FormatMJPG, 0});
        device.mailbox().latest();
    }
    t_counting = false;
    const double allocations = double(g_allocations.load() - before) / 64.0;
    view.mirror = true;
    view.colourMode = capture::Negative;
    device.setViewSettings(view);
    const double worstMs = pipelineMs(device, jpegs, w, h);
    slot.reset();

    // 5 megapixels shown at half size against a full decode.
    const int bw = 2592, bh = 1944, bstride = capture::rowStride(bw);
    const auto big = recordFrames(bw, bh, capture::FormatMJPG, 4, kind.textured);
    std::vector<uint8_t> bigRows(size_t(bstride) * bh);
    const double bigDecodeMs = msPerFrame([&](size_t i) { plainDecode(big[i], bigRows.data(), bstride); }, big.size(), 8);
    const double bigHalfDecodeMs = msPerFrame([&](size_t i) { plainDecode(big[i], bigRows.data(), bstride, 2); }, big.size(), 8);
    slot = std::make_unique<ReplaySlots>(big, bw, bh);
    view.mirror = false;
    view.colourMode = capture::Natural;
    view.zoomX = view.zoomY = 0.5;
    slot->stream().setViewSettings(view);
    const double halfMs = pipelineMs(slot->stream(), big, bw, bh);
    slot.reset();

    // YUYV: our conversion against OpenCV's, both into 32-bit pixels, what
    // the live view shows at 1:1.
    const auto yuyvs = recordFrames(w, h, capture::FormatYUY2, 4, kind.textured);
    cv::Mat bgra(h, w, CV_8UC4);
    const double cvMs = msPerFrame(
        [&](size_t i) {
            const cv::Mat src(h, w, CV_8UC2, const_cast<uint8_t*>(yuyvs[i].data()));
            cv::cvtColor(src, bgra, cv::COLOR_YUV2BGRA_YUYV);
        },
        yuyvs.size(), 16);
    std::vector<uint32_t> display(size_t(w) * h);
    const double oursMs = msPerFrame(
        [&](size_t i) { capture::yuyvToDisplayFast(yuyvs[i].data(), yuyvs[i].size(), display.data(), w, h, w); }, yuyvs.size(),
        16);

    std::printf("  frames of %.0f KB (1920x1080), %.0f KB (2592x1944)\n", meanSize(jpegs) / 1024, meanSize(big) / 1024);
    std::printf("  MJPEG 1920x1080 pipeline   %7.2f ms   decode alone %7.2f ms   ratio %.2f (goal 1.30)%s\n", oneToOneMs,
                decodeMs, oneToOneMs / decodeMs, oneToOneMs / decodeMs > 1.3 ? "  over" : "");
    std::printf("  MJPEG 1920x1080 pipeline, mirrored negative %7.2f ms   ratio %.2f\n", worstMs, worstMs / decodeMs);
    std::printf("  MJPEG 2592x1944 pipeline at zoom 0.5 %7.2f ms   full decode %7.2f ms   ratio %.2f (goal 0.40)%s\n", halfMs,
                bigDecodeMs, halfMs / bigDecodeMs, halfMs / bigDecodeMs > 0.4 ? "  over" : "");
    std::printf("  (libjpeg-turbo alone at half size %7.2f ms   ratio %.2f: the entropy decoding no scale avoids)\n",
                bigHalfDecodeMs, bigHalfDecodeMs / bigDecodeMs);
    std::printf("  YUYV  1920x1080 conversion %7.2f ms   OpenCV       %7.2f ms   ratio %.2f (goal 1.50)%s\n", oursMs, cvMs,
                oursMs / cvMs, oursMs / cvMs > 1.5 ? "  over" : "");
    std::printf("  allocations per frame once streaming: %.2f (goal 0)\n", allocations);
    std::fflush(stdout);
    printStreaming(jpegs, w, h, 29);
    printStreaming(big, bw, bh, 15);
    // 30 frames a second = ms per frame x 3 % of a core.
    std::printf("  (libjpeg-turbo alone decoding 2592x1944 at 30 fps: %4.0f %% of a core)\n", bigDecodeMs * 3);
    const auto [fps, cpu] = streaming(jpegs, w, h, 5, 0.5);
    std::printf(
        "  five slots MJPEG 1920x1080 at 30 fps, zoom 0.5: %5.1f frames/s shown in the slowest (goal 29), %4.0f %% of a core "
        "in all (goal 100 %%)%s\n",
        fps, cpu * 100, fps < 29 || cpu >= 1.0 ? "  over" : "");
    const double busyHalfMs = busyDecodeMs(jpegs, w, h, 2);
    std::printf(
        "  (libjpeg-turbo alone decoding 150 of those frames a second at half size, every core busy: %.2f ms a frame, "
        "%4.0f %% of a core)\n",
        busyHalfMs, busyHalfMs * 15);
    // Most users work with maximised windows: one live window in sight, the
    // others behind it keep their frames but decode none.
    const double oneCpu = streaming(jpegs, w, h, 1, 1.0).second;
    const auto [frontFps, fiveCpu] = streaming(jpegs, w, h, 5, 1.0, {}, 4);
    std::printf(
        "  five slots MJPEG 1920x1080 at 30 fps, one shown at zoom 1 and four hidden: %5.1f frames/s shown, %4.0f %% "
        "of a core, %.2f x one slot alone at %4.0f %% (goal 1.30)%s\n",
        frontFps, fiveCpu * 100, fiveCpu / oneCpu, oneCpu * 100, fiveCpu / oneCpu > 1.3 ? "  over" : "");
    QTemporaryDir clips;
    const double hiddenCpu = streaming(jpegs, w, h, 1, 1.0, clips.path(), 1).second;
    std::printf(
        "  one hidden slot recording MJPEG 1920x1080: %4.1f %% of a core (goal 3 %%)%s   (its decode alone at 30 fps: "
        "%4.0f %%)\n",
        hiddenCpu * 100, hiddenCpu > 0.03 ? "  over" : "", decodeMs * 3);
    std::fflush(stdout);
}

// Process CPU milliseconds per clip frame for `frames` frames through a
// clip writer, each handed over as the capture thread does and written
// before the next (at 5 fps the writer is never behind).
double clipMsPerFrame(const std::vector<std::vector<uint8_t>>& frames, int w, int h, int format, int count)
{
    QTemporaryDir dir;
    capture::ClipWriter clip;
    clip.open(dir.filePath(QStringLiteral("bench.avi")), w, h, true);
    const double cpu0 = cpuSeconds();
    for (int i = 0; i < count; ++i) {
        const auto& bytes = frames[size_t(i) % frames.size()];
        clip.offer(bytes.data(), bytes.size(), format, w, h);
        while (clip.framesWritten() <= i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    clip.close();  // the index and the last sync count too
    return (cpuSeconds() - cpu0) * 1000.0 / count;
}

// The same through OpenCV's writer as clips were written before: the frame
// turned upright, then encoded and written on the calling thread.
double openCvMsPerFrame(const std::vector<std::vector<uint8_t>>& yuyvs, int w, int h, int count)
{
    QTemporaryDir dir;
    cv::VideoWriter writer;
    writer.open(dir.filePath(QStringLiteral("opencv.avi")).toStdString(), cv::CAP_FFMPEG,
                cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 5.0, cv::Size(w, h), true);
    const int stride = capture::rowStride(w);
    std::vector<uint8_t> rows(size_t(stride) * h);
    cv::Mat topDown(h, w, CV_8UC3);
    const double cpu0 = cpuSeconds();
    for (int i = 0; i < count; ++i) {
        const auto& bytes = yuyvs[size_t(i) % yuyvs.size()];
        capture::yuyvToBgr(bytes.data(), bytes.size(), {rows.data(), w, h, stride});
        const cv::Mat frame(h, w, CV_8UC3, rows.data(), size_t(stride));
        cv::flip(frame, topDown, 0);
        writer.write(topDown);
    }
    writer.release();
    return (cpuSeconds() - cpu0) * 1000.0 / count;
}

void measureRecording()
{
    std::printf("recording 1920x1080 at 5 fps (textured sample):\n");
    const int w = 1920, h = 1080, count = 40;
    const auto jpegs = recordFrames(w, h, capture::FormatMJPG, 8, true);
    const auto yuyvs = recordFrames(w, h, capture::FormatYUY2, 4, true);
    const double passMs = clipMsPerFrame(jpegs, w, h, capture::FormatMJPG, count);
    const double encodeMs = clipMsPerFrame(yuyvs, w, h, capture::FormatYUY2, count);
    const double cvMs = openCvMsPerFrame(yuyvs, w, h, count);
    // ms per frame x 5 frames a second = ms of CPU per second, / 10 = % of a core.
    const auto share = [](double ms) { return ms * 5.0 / 10.0; };
    std::printf("  MJPEG camera, frames as delivered %6.2f ms/frame = %5.2f %% of a core (goal 2 %%)%s\n", passMs, share(passMs),
                share(passMs) > 2.0 ? "  over" : "");
    std::printf("  YUYV camera, encoded at quality 90 %6.2f ms/frame = %5.2f %% of a core (goal 10 %%)%s\n", encodeMs,
                share(encodeMs), share(encodeMs) > 10.0 ? "  over" : "");
    std::printf("  OpenCV's writer, same YUYV frames %6.2f ms/frame = %5.2f %% of a core (on the capture thread)\n", cvMs,
                share(cvMs));
    std::fflush(stdout);
    QTemporaryDir clips;
    const auto [idleFps, idleCpu] = streaming(jpegs, w, h, 1, 0.5);
    const auto [recordingFps, recordingCpu] = streaming(jpegs, w, h, 1, 0.5, clips.path());
    std::printf("  stream MJPEG 1920x1080 at 30 fps, zoom 0.5: %5.1f frames/s shown recording, %5.1f not (goal within 2 %%)%s\n",
                recordingFps, idleFps, recordingFps < idleFps * 0.98 ? "  over" : "");
    std::fflush(stdout);
}

}  // namespace

// Frames of the WiFi microscope's stream, as it sent them.
std::vector<std::vector<uint8_t>> grabWifiFrames(const wifi::CameraAddress& at, QSize size, size_t count)
{
    std::vector<std::vector<uint8_t>> frames;
    wifi::MjpegStreamSource source(at, size);
    source.start();
    capture::DeviceFrame frame;
    for (int tries = 0; frames.size() < count && tries < 300; ++tries) {
        if (source.nextFrame(1000, frame) == capture::FrameWait::Frame)
            frames.emplace_back(frame.data, frame.data + frame.size);
    }
    source.stop();
    return frames;
}

// Counts the frames the stream has delivered and when the last came, for a
// thread that follows the stream. It is not woken (that would cost the
// capture thread a system call a frame): it sleeps until the next frame is
// due, a frame interval after the last.
class ArrivalCount {
public:
    using Clock = std::chrono::steady_clock;
    void bump()
    {
        m_last.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        m_count.fetch_add(1, std::memory_order_release);
    }
    uint64_t current() const { return m_count.load(std::memory_order_acquire); }
    // The count once it passes `seen`, or `seen` when `quit` is set.
    uint64_t waitPast(uint64_t seen, const std::atomic<bool>& quit) const
    {
        uint64_t now = current();
        while (now == seen && !quit) {
            const Clock::time_point last{Clock::duration(m_last.load(std::memory_order_relaxed))};
            const Clock::time_point due = last + std::chrono::microseconds(33333 + 300);
            std::this_thread::sleep_until(std::max(due, Clock::now() + std::chrono::milliseconds(1)));
            now = current();
        }
        return now;
    }

private:
    std::atomic<uint64_t> m_count{0};
    std::atomic<Clock::rep> m_last{0};
};

// The WiFi source as the capture thread sees it, timing each frame: when its
// last byte was read off the socket (the source parses as it reads, so the
// frame is returned as soon as it is whole) and when the thread came back
// for the next, its picture handed to the window by then.
class TimedWifiSource : public capture::CaptureSource {
public:
    using Clock = std::chrono::steady_clock;
    struct Stamp {
        Clock::time_point arrived, handed;
    };
    explicit TimedWifiSource(std::unique_ptr<capture::CaptureSource> inner) : m_inner(std::move(inner)) {}
    std::vector<capture::Capability> capabilities() override { return m_inner->capabilities(); }
    bool setFormat(int32_t w, int32_t h, int32_t format) override { return m_inner->setFormat(w, h, format); }
    bool start() override { return m_inner->start(); }
    void stop() override { m_inner->stop(); }
    capture::FrameWait nextFrame(int timeoutMs, capture::DeviceFrame& frame) override
    {
        const Clock::time_point back = Clock::now();
        {
            std::lock_guard lock(m_mutex);
            if (!m_stamps.empty() && m_stamps.back().handed == Clock::time_point{})
                m_stamps.back().handed = back;
        }
        const capture::FrameWait got = m_inner->nextFrame(timeoutMs, frame);
        if (got == capture::FrameWait::Frame) {
            {
                std::lock_guard lock(m_mutex);
                m_stamps.push_back({Clock::now(), {}});
            }
            m_arrivals.bump();
        }
        return got;
    }
    std::vector<capture::CameraControl> controls() override { return m_inner->controls(); }
    bool setControl(uint32_t id, int32_t value) override { return m_inner->setControl(id, value); }
    bool stillButtonPressed() override { return m_inner->stillButtonPressed(); }
    bool keepsItsMode() const override { return m_inner->keepsItsMode(); }
    std::vector<Stamp> stamps()
    {
        std::lock_guard lock(m_mutex);
        return m_stamps;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_stamps.clear();
    }
    ArrivalCount& arrivals() { return m_arrivals; }

private:
    std::unique_ptr<capture::CaptureSource> m_inner;
    ArrivalCount m_arrivals;
    std::mutex m_mutex;
    std::vector<Stamp> m_stamps;
};

// Milliseconds from each shown frame's last byte to the window taking its
// picture: the frame a take shows is the newest one handed over before it
// (within a millisecond: the hand-over is stamped just after the window is
// woken).
std::vector<double> latenciesMs(const std::vector<TimedWifiSource::Stamp>& stamps,
                                const std::vector<TimedWifiSource::Clock::time_point>& takes)
{
    std::vector<double> out;
    for (const auto& take : takes) {
        const auto shown = std::find_if(stamps.rbegin(), stamps.rend(), [&](const TimedWifiSource::Stamp& s) {
            return s.handed != TimedWifiSource::Clock::time_point{} && s.handed <= take + std::chrono::milliseconds(1);
        });
        if (shown != stamps.rend())
            out.push_back(std::chrono::duration<double, std::milli>(take - shown->arrived).count());
    }
    return out;
}

// The whole process's CPU on the same clock as threadCpuMs(), so a thread's
// share can be taken off it.
double processCpuMs()
{
    return cpuMs(CLOCK_PROCESS_CPUTIME_ID);
}

// libjpeg-turbo's decode alone, in step with the stream: when the window's
// source has delivered a frame, this thread decodes one recorded frame of
// the same stream, so both decode at about the same moments, beside the same
// camera, with caches as cold.
class PacedFloor {
public:
    struct Figures {
        double decodeMs = 0;  // CPU in the decodes
        double threadMs = 0;  // the thread's CPU in all
        int decodes = 0;
    };
    PacedFloor(const std::vector<std::vector<uint8_t>>& jpegs, int stride, int height, const ArrivalCount& arrivals)
        : m_jpegs(jpegs), m_stride(stride), m_rows(size_t(stride) * size_t(height)), m_arrivals(arrivals)
    {
        plainDecode(m_jpegs.front(), m_rows.data(), m_stride);  // its pages touched, as the window's are
    }
    void start()
    {
        m_thread = std::thread([this] {
            const double begin = threadCpuMs();
            uint64_t seen = m_arrivals.current();
            for (size_t i = 0; !m_done;) {
                const uint64_t now = m_arrivals.waitPast(seen, m_done);
                if (now == seen)
                    continue;
                seen = now;
                const double a = threadCpuMs();
                plainDecode(m_jpegs[i], m_rows.data(), m_stride);
                m_figures.decodeMs += threadCpuMs() - a;
                ++m_figures.decodes;
                i = (i + 1) % m_jpegs.size();
            }
            m_figures.threadMs = threadCpuMs() - begin;
        });
    }
    Figures stop()
    {
        m_done = true;
        m_thread.join();
        return m_figures;
    }

private:
    const std::vector<std::vector<uint8_t>>& m_jpegs;
    int m_stride;
    std::vector<uint8_t> m_rows;
    const ArrivalCount& m_arrivals;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
    Figures m_figures;
};

// Rounds of two seconds; the median round's ratio is the figure.
constexpr int kWifiRounds = 9;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

// The WiFi microscope over loopback. The simulated camera runs as a program
// of its own, so this process's CPU is the WiFi window's pipeline alone: the
// stream read, the decode at display scale and the composition.
void measureWifi()
{
    std::printf("WiFi microscope over loopback (simulated camera, 30 fps, textured):\n");
    QProcess camera;
    camera.start(QStringLiteral(WIFI_SIM_PROGRAM), {QStringLiteral("--fps"), QStringLiteral("30")});
    if (!camera.waitForReadyRead(10000)) {
        std::printf("  (the simulated WiFi microscope did not start)\n");
        return;
    }
    // "pages 127.0.0.1:<port> stream 127.0.0.1:<port>"
    const QList<QByteArray> words = camera.readLine().trimmed().split(' ');
    wifi::CameraAddress at;
    at.host = QStringLiteral("127.0.0.1");
    at.pagePort = words.value(1).split(':').value(1).toInt();
    at.streamPort = words.value(3).split(':').value(1).toInt();
    // The camera's modes 2 (1280 x 720) and 4 (1920 x 1080), set on the
    // camera first as a user would have left it.
    for (const auto& [mode, w, h] : {std::tuple{2, 1280, 720}, std::tuple{4, 1920, 1080}}) {
        wifi::httpGet(at, at.pageUrl(wifi::modeSwitchPath(mode)));
        runFor(2000);  // the camera settles
        // The floor: libjpeg-turbo alone on frames of the same stream, decoded
        // one at a time as they would arrive, on a thread of its own beside
        // the window's pipeline in the same seconds, so both figures see the
        // same machine (a shared machine's speed drifts by a tenth from
        // one second to the next) and the same cold caches between frames.
        // A loop over the frames back to back, with everything warm, is
        // printed beside it.
        const std::vector<std::vector<uint8_t>> jpegs = grabWifiFrames(at, QSize(w, h), 30);
        const int stride = capture::rowStride(w);
        std::vector<uint8_t> rows(size_t(stride) * size_t(h));
        const double hotBefore = jpegs.empty()
            ? 0.0
            : msPerFrame([&](size_t i) { plainDecode(jpegs[i], rows.data(), stride); }, jpegs.size(), 4);
        capture::LiveStream stream(capture::StreamDescription{});
        auto timed = std::make_unique<TimedWifiSource>(std::make_unique<wifi::MjpegStreamSource>(at, QSize(w, h)));
        TimedWifiSource* stamps = timed.get();
        stream.Open(std::move(timed));
        stream.Build(2, QString());
        capture::LiveViewSettings view;
        view.zoomX = view.zoomY = 1.0;
        stream.setViewSettings(view);
        std::atomic<int> shown{0};
        std::vector<TimedWifiSource::Clock::time_point> takes;
        QObject::connect(&stream, &capture::LiveStream::frameReady, &stream, [&stream, &shown, &takes] {
            if (stream.mailbox().latest()) {
                ++shown;
                takes.push_back(TimedWifiSource::Clock::now());
            }
        });
        stream.Run();
        runFor(1500);
        std::vector<double> ratios;
        double pipelineMs = 0, floorMs = 0, seconds = 0;
        int frames = 0;
        std::vector<double> latencies;
        for (int round = 0; round < kWifiRounds && !jpegs.empty(); ++round) {
            shown = 0;
            takes.clear();
            stamps->clear();
            PacedFloor floor(jpegs, stride, h, stamps->arrivals());
            const double cpu0 = processCpuMs();
            QElapsedTimer t;
            t.start();
            floor.start();
            runFor(2000);
            const PacedFloor::Figures f = floor.stop();
            const double roundMs = processCpuMs() - cpu0 - f.threadMs;  // the window's pipeline alone
            seconds += t.elapsed() / 1000.0;
            const int roundFrames = shown.load();
            const std::vector<double> roundLatencies = latenciesMs(stamps->stamps(), takes);
            latencies.insert(latencies.end(), roundLatencies.begin(), roundLatencies.end());
            if (roundFrames > 0 && f.decodes > 0) {
                ratios.push_back((roundMs / roundFrames) / (f.decodeMs / f.decodes));
                pipelineMs += roundMs;
                frames += roundFrames;
                floorMs += f.decodeMs / f.decodes;
            }
        }
        stream.Close();
        const double hotAfter = jpegs.empty()
            ? 0.0
            : msPerFrame([&](size_t i) { plainDecode(jpegs[i], rows.data(), stride); }, jpegs.size(), 4);
        const double decodeMs = ratios.empty() ? 0.0 : floorMs / double(ratios.size());
        const double hotMs = (hotBefore + hotAfter) / 2;
        const double fps = seconds > 0 ? frames / seconds : 0;
        const double perFrame = frames > 0 ? pipelineMs / frames : 0;
        const double ratio = percentile(ratios, 0.5);
        const QSize sent = jpegs.empty() ? QSize() : QImage::fromData(jpegs.front().data(), int(jpegs.front().size())).size();
        if (sent != QSize(w, h))
            std::printf("  (the camera sent %dx%d, not %dx%d)\n", sent.width(), sent.height(), w, h);
        std::string rounds;
        for (double r : ratios)
            rounds += QString::asprintf(" %.2f", r).toStdString();
        std::printf(
            "  %4dx%-4d %5.1f frames/s shown (goal 29)%s, %6.2f ms of CPU a frame, libjpeg-turbo's decode alone %6.2f ms, "
            "ratio %.2f (goal 1.10)%s; rounds%s; decoded back to back %6.2f ms (ratio %.2f)\n",
            w, h, fps, fps < 29 ? "  under" : "", perFrame, decodeMs, ratio, ratio > 1.10 ? "  over" : "", rounds.c_str(), hotMs,
            hotMs > 0 ? perFrame / hotMs : 0.0);
        const double median = percentile(latencies, 0.5);
        std::printf(
            "  %4dx%-4d last byte to the window: median %5.1f ms (goal 15 ms at 720p)%s, 90th percentile %5.1f ms, "
            "%zu frames   (its decode alone %5.1f ms)\n",
            w, h, median, h == 720 && median > 15 ? "  over" : "", percentile(latencies, 0.9), latencies.size(), decodeMs);
    }
    camera.terminate();
    camera.waitForFinished(5000);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    cv::setNumThreads(1);
    // "capture_bench wifi": the WiFi figures alone.
    if (argc > 1 && std::strcmp(argv[1], "wifi") == 0) {
        measureWifi();
        return 0;
    }
    for (const FrameKind& kind : kKinds)
        measureKind(kind);
    measureRecording();
    measureWifi();
    return 0;
}
