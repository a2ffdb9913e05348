// A camera's live stream end to end on the simulated microscope: open, build,
// run, frames, controls, still button, clips, unplug, close, nobody looking.
#include "capture/core/cap_config.h"
#include "capture/device/live_stream.h"
#include "capture/device/simulated_backend.h"

#include "measure/core/shape.h"

#include "platform/posted_message.h"

#include "sandbox.h"
#include "wait_for.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <opencv2/videoio.hpp>

#include <climits>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

using namespace capture;
using testing_support::waitFor;

namespace {

class Window : public QObject {
public:
    std::atomic<int> stills{0};

protected:
    void customEvent(QEvent* e) override
    {
        if (static_cast<platform::PostedMessage*>(e)->number() == platform::msg::StillDue)
            ++stills;
    }
};

class LiveStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeviceList scratch;
        ASSERT_TRUE(enumerateDevices(backend.enumerate(), scratch, live));
    }

    SimulatedBackend backend{2, SimulatedCamera::Model::Model1, 30};
    DeviceList live;
    testing_support::Sandbox box;

    std::unique_ptr<CaptureSource> source(int index) { return backend.open(live[static_cast<size_t>(index)].devicePath); }
};

}  // namespace

TEST_F(LiveStreamTest, FramesArriveInTheSlotAndTheMailbox)
{
    LiveStream device({});
    Window window;
    device.setNotifyWindow(&window);
    std::atomic<int> ready{0};
    // As the view does: each wake-up takes the newest picture.
    QObject::connect(&device, &LiveStream::frameReady, &device, [&] {
        device.mailbox().latest();
        ++ready;
    });
    EXPECT_EQ(device.cameraModel(), 0);
    ASSERT_TRUE(device.Open(source(0)));
    ASSERT_TRUE(device.Build(2, QString()));
    EXPECT_EQ(countResolutions(device.GetResolutions()), 5u);
    EXPECT_EQ(device.cameraModel(), 1);
    EXPECT_EQ(device.format(), FormatMJPG);
    LiveViewSettings view;
    view.zoomX = view.zoomY = 0.5;
    view.overlay.mode = measure::OverlayCrosshair;
    view.statusText = QStringLiteral("Recording......");
    // A finished live line from (100, 300) to (500, 300), drawn on every frame.
    auto shapes = std::make_shared<measure::VideoShapeList>();
    auto line = std::make_unique<measure::CShape>();
    line->kind = measure::KindLine;
    line->live = true;
    line->inProgress = 0;
    line->lineColour = QColor(0, 0, 255);
    line->points = {{{100, 300}, {500, 300}, {200, 350}}};
    shapes->push_back(std::move(line));
    view.shapes = shapes;
    view.measure.calibrationName = QStringLiteral("x");
    device.setViewSettings(view);
    ASSERT_TRUE(device.Run());
    ASSERT_TRUE(waitFor([&] { return ready >= 3; }));
    const QImage* shown = device.mailbox().latest();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->size(), QSize(320, 240));
    EXPECT_EQ(QColor(shown->pixel(2, 120)), QColor(Qt::red));      // the crosshair at (320, 240) zoomed
    EXPECT_EQ(QColor(shown->pixel(150, 150)), QColor(0, 0, 255));  // the live line, zoomed by half

    std::vector<uint8_t> rows;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(device.latestFrame().copyOut(rows, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(rows.size(), size_t(rowStride(640)) * 480);
    EXPECT_EQ(device.latestFrame().frameArrived.exchange(0), 1);

    backend.camera(0).pressStill();
    EXPECT_TRUE(waitFor([&] { return window.stills >= 1; }));
    device.requestStill();
    EXPECT_TRUE(waitFor([&] { return window.stills >= 2; }));
    ASSERT_TRUE(device.SwitchDevice(source(1), 1));  // the second microscope, in YUY2
    EXPECT_EQ(device.format(), FormatYUY2);
    EXPECT_TRUE(device.isRunning());
    ASSERT_TRUE(device.Rebuild());
    EXPECT_TRUE(device.isRunning());
    device.Close();
    EXPECT_FALSE(device.isRunning());
    EXPECT_FALSE(device.latestFrame().copyOut(rows, w, h));  // closing frees the slot's frame
}

TEST_F(LiveStreamTest, SavedFormatResolutionChangesAndTheFallbackFormat)
{
    VideoInfoHeader saved{};
    saved.bmiHeader.biWidth = 800;
    saved.bmiHeader.biHeight = 600;
    const QString config = box.path() + QLatin1String("/CapConfig.dat");
    ASSERT_TRUE(writeCapConfig(config, saved));
    LiveStream device({});
    ASSERT_TRUE(device.Open(source(1)));
    ASSERT_TRUE(device.Build(1, config));
    EXPECT_EQ(device.width(), 800);
    EXPECT_EQ(device.format(), FormatYUY2);
    ASSERT_TRUE(device.Run());
    std::atomic<int> ready{0};
    QObject::connect(&device, &LiveStream::frameReady, &device, [&] {
        device.mailbox().latest();
        ++ready;
    });
    ASSERT_TRUE(waitFor([&] { return ready >= 1; }));
    ASSERT_TRUE(device.SetResolution(1280, 1024, config));
    EXPECT_TRUE(device.isRunning());
    EXPECT_EQ(readCapConfig(config)->bmiHeader.biWidth, 1280);
    ready = 0;
    ASSERT_TRUE(waitFor([&] { return ready >= 2; }));
    EXPECT_EQ(device.mailbox().latest()->size(), QSize(1280, 1024));
    // A size the chosen format does not offer: the largest it does.
    ASSERT_TRUE(device.SetFormat(FormatMJPG));
    EXPECT_EQ(device.format(), FormatMJPG);
    EXPECT_EQ(device.width(), 1280);
}

TEST_F(LiveStreamTest, ClipsArePacedAndPlayableAlsoAfterAnUnplug)
{
    const QString folder = box.path() + QLatin1String("/Video");
    QDir().mkpath(folder);
    LiveStream device({});
    ASSERT_TRUE(device.Open(source(0)));
    ASSERT_TRUE(device.Build(2, QString()));
    ASSERT_TRUE(device.Run());
    EXPECT_TRUE(device.StartClip(box.path() + QLatin1String("/missing"), {}, true).isEmpty());
    const QString clip = device.StartClip(folder, QStringLiteral("S1_"), true);
    ASSERT_FALSE(clip.isEmpty());
    EXPECT_TRUE(clip.startsWith(folder + QLatin1String("/S1_")));
    EXPECT_TRUE(clip.endsWith(QLatin1String(".avi")));
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { device.pacer().tick(); });
    QElapsedTimer recording;
    recording.start();
    ticks.start(200);
    // However slowly a loaded machine makes the frames, the clip grows.
    ASSERT_TRUE(waitFor([&] { return device.clipFrames() >= 4; }, 15000));
    device.StopClip();
    const int written = device.clipFrames();
    // About five a second (a tick, or 167 ms since the last one), not the camera's thirty.
    EXPECT_LE(written, static_cast<int>(recording.elapsed() / 167) + 2);

    cv::VideoCapture read(clip.toStdString());
    ASSERT_TRUE(read.isOpened());
    EXPECT_EQ(static_cast<int>(read.get(cv::CAP_PROP_FRAME_WIDTH)), 640);
    EXPECT_EQ(static_cast<int>(read.get(cv::CAP_PROP_FRAME_HEIGHT)), 480);
    int frames = 0;
    cv::Mat m;
    while (read.read(m))
        ++frames;
    EXPECT_EQ(frames, written);

    // Pulling the cable mid-clip finishes the clip.
    std::atomic<bool> gone{false};
    QObject::connect(&device, &LiveStream::deviceGone, &device, [&] { gone = true; });
    const QString second = device.StartClip(folder, QStringLiteral("S2_"), false);
    ASSERT_FALSE(second.isEmpty());
    waitFor([] { return false; }, 700);
    backend.camera(0).unplug();
    ASSERT_TRUE(waitFor([&] { return gone.load(); }));
    EXPECT_FALSE(device.isRecording());
    cv::VideoCapture after(second.toStdString());
    ASSERT_TRUE(after.isOpened());
    EXPECT_TRUE(after.read(m));
    device.Close();
    backend.camera(0).plugIn();
}

TEST_F(LiveStreamTest, StreamsAtEveryResolutionWithTheOverlay)
{
    LiveStream device({});
    ASSERT_TRUE(device.Open(source(0)));
    ASSERT_TRUE(device.Build(2, QString()));
    LiveViewSettings view;
    view.overlay.mode = measure::OverlayGrid;
    view.overlay.spacing = 40;
    view.overlay.label = QStringLiteral("0.05mm");
    device.setViewSettings(view);
    std::atomic<int> ready{0};
    QObject::connect(&device, &LiveStream::frameReady, &device, [&] { ++ready; });
    ASSERT_TRUE(device.Run());
    const ResolutionTable table = device.GetResolutions();
    for (size_t i = 0; i < countResolutions(table); ++i) {
        ASSERT_TRUE(device.SetResolution(table[i].width, table[i].height));
        device.mailbox().latest();
        ready = 0;
        ASSERT_TRUE(waitFor([&] {
            const QImage* frame = device.mailbox().latest();
            return ready >= 1 && frame && frame->size() == QSize(table[i].width, table[i].height);
        }));
        EXPECT_EQ(QColor(device.mailbox().latest()->pixel(5, 40)), QColor(Qt::red));  // the first grid line
    }
    device.Close();
}

// Each slot keeps its own latest frame and its own clip pacing.
TEST_F(LiveStreamTest, SlotsKeepTheirOwnFrameAndPacing)
{
    LiveStream one({}), two({});
    ASSERT_TRUE(one.Open(source(0)) && one.Build(2, QString()));
    ASSERT_TRUE(two.Open(source(1)) && two.Build(1, QString()));
    SimulatedCamera& camera = backend.camera(0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(camera.capture(0, bytes));
    one.processFrame({bytes.data(), bytes.size(), camera.width(), camera.height(), camera.format(), 0});
    EXPECT_EQ(one.latestFrame().frameArrived.load(), 1);
    EXPECT_EQ(two.latestFrame().frameArrived.load(), 0);
    std::vector<uint8_t> rows;
    int32_t w = 0, h = 0;
    EXPECT_TRUE(one.latestFrame().copyOut(rows, w, h));
    EXPECT_FALSE(two.latestFrame().copyOut(rows, w, h));

    one.pacer().start(0);
    two.pacer().start(0);
    one.pacer().tick();
    EXPECT_FALSE(two.pacer().shouldWrite(40));  // slot 1's tick is not slot 2's
    EXPECT_TRUE(one.pacer().shouldWrite(40));
}

namespace {

// Forwards to a real source and notes which threads touch it and whether a
// control was set while a frame was being fetched.
class WatchedSource : public CaptureSource {
public:
    explicit WatchedSource(std::unique_ptr<CaptureSource> inner) : m_inner(std::move(inner)) {}

    std::vector<Capability> capabilities() override { return m_inner->capabilities(); }
    bool setFormat(int32_t w, int32_t h, int32_t f) override { return m_inner->setFormat(w, h, f); }
    bool start() override { return m_inner->start(); }
    void stop() override { m_inner->stop(); }
    FrameWait nextFrame(int timeoutMs, DeviceFrame& frame) override
    {
        frameThread = std::this_thread::get_id();
        m_fetching = true;
        const FrameWait got = m_inner->nextFrame(timeoutMs, frame);
        m_fetching = false;
        return got;
    }
    std::vector<CameraControl> controls() override { return m_inner->controls(); }
    bool setControl(uint32_t id, int32_t value) override
    {
        controlThread = std::this_thread::get_id();
        ++controlCalls;
        if (onControl)
            onControl();
        overlapped = overlapped || m_fetching.load();
        return m_inner->setControl(id, value);
    }
    bool stillButtonPressed() override { return m_inner->stillButtonPressed(); }

    std::atomic<std::thread::id> frameThread{}, controlThread{};
    std::atomic<bool> overlapped{false};
    std::atomic<int> controlCalls{0};
    std::function<void()> onControl;  // set before streaming

private:
    std::unique_ptr<CaptureSource> m_inner;
    std::atomic<bool> m_fetching{false};
};

int32_t valueOf(const std::vector<CameraControl>& controls, uint32_t id)
{
    for (const CameraControl& c : controls) {
        if (c.id == id)
            return c.value;
    }
    return INT32_MIN;
}

}  // namespace

// A control set while the camera streams reaches it on the capture thread,
// never while a frame is being fetched; while stopped it is set at once.
TEST_F(LiveStreamTest, ControlsAreSetOnTheCaptureThreadWhileStreaming)
{
    constexpr uint32_t kBrightness = 0x00980900;  // V4L2_CID_BRIGHTNESS
    LiveStream device({});
    auto watched = std::make_unique<WatchedSource>(source(0));
    WatchedSource& seen = *watched;
    ASSERT_TRUE(device.Open(std::move(watched)));
    EXPECT_EQ(valueOf(device.controls(), kBrightness), 0);
    EXPECT_FALSE(device.controls().front().name.empty());

    device.setControl(kBrightness, 20);  // not streaming yet
    EXPECT_EQ(seen.controlThread.load(), std::this_thread::get_id());
    EXPECT_EQ(valueOf(device.controls(), kBrightness), 20);

    ASSERT_TRUE(device.Build(2, QString()) && device.Run());
    ASSERT_TRUE(waitFor([&] { return device.latestFrame().frameArrived.load() != 0; }));
    const int callsBefore = seen.controlCalls.load();
    for (int value = 21; value <= 40; ++value)  // a slider dragged: only the latest value waits
        device.setControl(kBrightness, value);
    ASSERT_TRUE(waitFor([&] { return valueOf(device.controls(), kBrightness) == 40; }));
    EXPECT_LT(seen.controlCalls.load() - callsBefore, 20);
    EXPECT_EQ(seen.controlThread.load(), seen.frameThread.load());
    EXPECT_NE(seen.controlThread.load(), std::this_thread::get_id());
    EXPECT_FALSE(seen.overlapped.load());
    device.setControl(kBrightness, 999);  // clamped by the camera, and shown so
    ASSERT_TRUE(waitFor([&] { return valueOf(device.controls(), kBrightness) == 64; }));
    device.Close();
    EXPECT_TRUE(device.controls().empty());
}

// Stopping waits for the command on its way, not for every one queued behind
// it (a network camera answers each in a round trip); those go out after
// the restart.
TEST_F(LiveStreamTest, StoppingLeavesQueuedControlsForTheRestart)
{
    constexpr uint32_t kBrightness = 0x00980900, kContrast = 0x00980901, kSaturation = 0x00980902;  // V4L2_CID_*
    LiveStream device({});
    auto watched = std::make_unique<WatchedSource>(source(0));
    WatchedSource& seen = *watched;
    std::atomic<bool> inFirst{false}, release{false};
    seen.onControl = [&] {
        if (!inFirst.exchange(true))
            waitFor([&] { return release.load(); });
    };
    ASSERT_TRUE(device.Open(std::move(watched)) && device.Build(2, QString()) && device.Run());
    device.setControl(kBrightness, 10);
    device.setControl(kContrast, 20);
    device.setControl(kSaturation, 30);
    ASSERT_TRUE(waitFor([&] { return inFirst.load(); }));
    std::thread stopper([&] { device.Stop(); });
    ASSERT_TRUE(waitFor([&] { return !device.isRunning(); }));
    release = true;
    stopper.join();
    EXPECT_EQ(seen.controlCalls.load(), 1);
    ASSERT_TRUE(device.Run());
    EXPECT_TRUE(waitFor([&] {
        const std::vector<CameraControl> now = device.controls();
        return valueOf(now, kContrast) == 20 && valueOf(now, kSaturation) == 30;
    }));
    device.Close();
}

// A stream nobody sees keeps every frame for stills and clips but composes
// none; shown again, its next frame is composed at once.
TEST_F(LiveStreamTest, AHiddenStreamKeepsFramesButComposesNone)
{
    LiveStream device({});
    Window window;
    device.setNotifyWindow(&window);
    ASSERT_TRUE(device.Open(source(0)) && device.Build(2, QString()));
    SimulatedCamera& camera = backend.camera(0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(camera.capture(0, bytes));
    const DeviceFrame frame{bytes.data(), bytes.size(), camera.width(), camera.height(), camera.format(), 0};

    device.setShown(false);
    device.processFrame(frame);
    EXPECT_EQ(device.latestFrame().frameArrived.exchange(0), 1);
    EXPECT_FALSE(device.mailbox().latest());
    device.requestStill();
    device.processFrame(frame);
    EXPECT_TRUE(waitFor([&] { return window.stills >= 1; }));
    EXPECT_FALSE(device.mailbox().latest());

    device.setShown(true);
    device.processFrame(frame);
    ASSERT_TRUE(device.mailbox().latest());
    EXPECT_EQ(device.mailbox().latest()->size(), QSize(camera.width(), camera.height()));
}
