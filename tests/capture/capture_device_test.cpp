// A slot's camera end to end on the simulated microscope: open, build, run,
// frames, still button, clips, unplug, close.
#include "capture/core/cap_config.h"
#include "capture/device/capture_device.h"
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

class CaptureDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = setCaptureBackend(&backend);
        DeviceList scratch;
        ASSERT_TRUE(enumerateDevices(backend.enumerate(), scratch, live));
    }
    void TearDown() override { setCaptureBackend(m_previous); }

    SimulatedBackend backend{2, SimulatedCamera::Model::Model1, 30};
    DeviceList live;
    testing_support::Sandbox box;

private:
    CaptureBackend* m_previous = nullptr;
};

}  // namespace

TEST_F(CaptureDeviceTest, FramesArriveInTheSlotAndTheMailbox)
{
    CCaptureDevice device(1);
    Window window;
    device.setNotifyWindow(&window);
    std::atomic<int> ready{0};
    // As the view does: each wake-up takes the newest picture.
    QObject::connect(&device, &CCaptureDevice::frameReady, &device, [&] {
        device.mailbox().latest();
        ++ready;
    });
    EXPECT_EQ(device.cameraModel(), 0);
    ASSERT_TRUE(device.Open(live[0]));
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
    ASSERT_TRUE(device.slotFrame().copyOut(rows, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(rows.size(), size_t(rowStride(640)) * 480);
    EXPECT_EQ(device.slotFrame().frameArrived.exchange(0), 1);

    backend.camera(0).pressStill();
    EXPECT_TRUE(waitFor([&] { return window.stills >= 1; }));
    device.requestStill();
    EXPECT_TRUE(waitFor([&] { return window.stills >= 2; }));
    ASSERT_TRUE(device.SwitchDevice(live[1], 1));  // the second microscope, in YUY2
    EXPECT_EQ(device.format(), FormatYUY2);
    EXPECT_TRUE(device.isRunning());
    ASSERT_TRUE(device.Rebuild());
    EXPECT_TRUE(device.isRunning());
    device.Close();
    EXPECT_FALSE(device.isRunning());
    EXPECT_FALSE(device.slotFrame().copyOut(rows, w, h));  // closing frees the slot's frame
}

TEST_F(CaptureDeviceTest, SavedFormatResolutionChangesAndTheFallbackFormat)
{
    VideoInfoHeader saved{};
    saved.bmiHeader.biWidth = 800;
    saved.bmiHeader.biHeight = 600;
    const QString config = box.path() + QLatin1String("/CapConfig.dat");
    ASSERT_TRUE(writeCapConfig(config, saved));
    CCaptureDevice device(2);
    ASSERT_TRUE(device.Open(live[1]));
    ASSERT_TRUE(device.Build(1, config));
    EXPECT_EQ(device.width(), 800);
    EXPECT_EQ(device.format(), FormatYUY2);
    ASSERT_TRUE(device.Run());
    std::atomic<int> ready{0};
    QObject::connect(&device, &CCaptureDevice::frameReady, &device, [&] {
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

TEST_F(CaptureDeviceTest, ClipsArePacedAndPlayableAlsoAfterAnUnplug)
{
    const QString folder = box.path() + QLatin1String("/Video");
    QDir().mkpath(folder);
    CCaptureDevice device(1);
    ASSERT_TRUE(device.Open(live[0]));
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
    QObject::connect(&device, &CCaptureDevice::deviceGone, &device, [&] { gone = true; });
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

TEST_F(CaptureDeviceTest, StreamsAtEveryResolutionWithTheOverlay)
{
    CCaptureDevice device(3);
    ASSERT_TRUE(device.Open(live[0]));
    ASSERT_TRUE(device.Build(2, QString()));
    LiveViewSettings view;
    view.overlay.mode = measure::OverlayGrid;
    view.overlay.spacing = 40;
    view.overlay.label = QStringLiteral("0.05mm");
    device.setViewSettings(view);
    std::atomic<int> ready{0};
    QObject::connect(&device, &CCaptureDevice::frameReady, &device, [&] { ++ready; });
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
TEST_F(CaptureDeviceTest, SlotsKeepTheirOwnFrameAndPacing)
{
    CCaptureDevice one(1), two(2);
    ASSERT_TRUE(one.Open(live[0]) && one.Build(2, QString()));
    ASSERT_TRUE(two.Open(live[1]) && two.Build(1, QString()));
    SimulatedCamera& camera = backend.camera(0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(camera.capture(0, bytes));
    one.processFrame({bytes.data(), bytes.size(), camera.width(), camera.height(), camera.format(), 0});
    EXPECT_EQ(one.slotFrame().frameArrived.load(), 1);
    EXPECT_EQ(two.slotFrame().frameArrived.load(), 0);
    std::vector<uint8_t> rows;
    int32_t w = 0, h = 0;
    EXPECT_TRUE(one.slotFrame().copyOut(rows, w, h));
    EXPECT_FALSE(two.slotFrame().copyOut(rows, w, h));

    one.pacer().start(0);
    two.pacer().start(0);
    one.pacer().tick();
    EXPECT_FALSE(two.pacer().shouldWrite(40));  // slot 1's tick is not slot 2's
    EXPECT_TRUE(one.pacer().shouldWrite(40));
}
