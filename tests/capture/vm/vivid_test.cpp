// The V4L2 backend against a real kernel driver: vivid, the kernel's virtual
// camera, in the test machine of run_in_vm.sh. Formats and sizes, streaming
// with the colour bars checked, controls, the driver's disconnect and error
// injections, and an unbind/bind of the device (an unplug and a replug).
#include "capture/core/pixel_convert.h"
#include "capture/device/live_stream.h"
#include "capture/device/v4l2_backend.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <opencv2/videoio.hpp>

#include <gtest/gtest.h>

#include "wait_for.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <string>

using namespace capture;

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 15000)
{
    return testing_support::waitFor(done, ms);
}

const char* const kNode = "/dev/video0";
const QString kPath = QStringLiteral("platform#vivid.0#/dev/video0");

// vivid's own controls by name (menus and buttons too), read straight from
// the driver: the backend lists only the picture controls.
std::map<std::string, uint32_t> driverControls()
{
    std::map<std::string, uint32_t> ids;
    const int fd = ::open(kNode, O_RDWR);
    if (fd < 0)
        return ids;
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (::ioctl(fd, VIDIOC_QUERYCTRL, &q) == 0) {
        ids[reinterpret_cast<const char*>(q.name)] = q.id;
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    ::close(fd);
    return ids;
}

bool writeSys(const char* file, const char* text)
{
    QFile f(QString::fromLatin1(file));
    return f.open(QIODevice::WriteOnly) && f.write(text) == qint64(std::strlen(text));
}

// The colour at (x, y from the top) of a slot's latest frame, as R, G, B.
struct Rgb {
    int r, g, b;
};
Rgb pixelOf(const std::vector<uint8_t>& rows, int32_t width, int32_t height, int x, int y)
{
    const uint8_t* p = rows.data() + size_t(height - 1 - y) * size_t(rowStride(width)) + size_t(x) * 3;
    return {p[2], p[1], p[0]};
}

// vivid's default picture: eight bars at 75 %, left to right.
constexpr Rgb kBars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                          {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

::testing::AssertionResult showsColourBars(LiveStream& device, int32_t wantWidth, int32_t wantHeight)
{
    std::vector<uint8_t> rows;
    int32_t w = 0, h = 0;
    if (!device.latestFrame().copyOut(rows, w, h))
        return ::testing::AssertionFailure() << "no frame";
    if (w != wantWidth || h != wantHeight)
        return ::testing::AssertionFailure() << "frame of " << w << " x " << h;
    for (int bar = 0; bar < 8; ++bar) {
        const Rgb got = pixelOf(rows, w, h, (2 * bar + 1) * w / 16, h * 3 / 4);
        const Rgb want = kBars[bar];
        if (std::abs(got.r - want.r) > 12 || std::abs(got.g - want.g) > 12 || std::abs(got.b - want.b) > 12)
            return ::testing::AssertionFailure() << "bar " << bar << " is (" << got.r << ", " << got.g << ", " << got.b
                                                 << "), wanted (" << want.r << ", " << want.g << ", " << want.b << ")";
    }
    return ::testing::AssertionSuccess();
}

class VividTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (::access(kNode, F_OK) != 0)
            GTEST_FAIL() << kNode << " is missing: run this inside tests/capture/vm/run_in_vm.sh";
    }

    void SetUp() override
    {
        ASSERT_EQ(::access(kNode, F_OK), 0) << "the virtual camera is gone";
        controls = driverControls();
        // Bars only: no text over the picture.
        if (const auto osd = controls.find("OSD Text Mode"); osd != controls.end()) {
            const int fd = ::open(kNode, O_RDWR);
            v4l2_control c{osd->second, 2};
            ::ioctl(fd, VIDIOC_S_CTRL, &c);
            ::close(fd);
        }
    }
    // vivid is no microscope: this test opens it all the same.
    std::unique_ptr<CaptureSource> source() { return backend.open(kPath); }

    // Opens slot 1 on vivid at a size and runs it until frames arrive.
    void stream(LiveStream& device, int32_t width, int32_t height)
    {
        ASSERT_TRUE(device.Open(source()));
        ASSERT_TRUE(device.Build(1, QString()));
        ASSERT_TRUE(device.SetResolution(width, height));
        ASSERT_EQ(device.width(), width);
        device.latestFrame().frameArrived.store(0);
        ASSERT_TRUE(device.Run());
        ASSERT_TRUE(waitFor([&] { return device.latestFrame().frameArrived.load() != 0; }));
    }

    // The camera leaves the bus and comes back, as a replugged microscope does.
    static bool unbind() { return writeSys("/sys/bus/platform/drivers/vivid/unbind", "vivid.0"); }
    static bool bind() { return writeSys("/sys/bus/platform/drivers/vivid/bind", "vivid.0"); }

    V4l2Backend backend{systemV4l2Ops(), [](const QString&) { return true; }};
    std::map<std::string, uint32_t> controls;

private:
};

}  // namespace

TEST_F(VividTest, OnlyATestThatWidensTheFilterSeesTheVirtualCamera)
{
    V4l2Backend product;
    EXPECT_TRUE(product.enumerate().empty());
    const std::vector<FoundDevice> found = backend.enumerate();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].devicePath, kPath);
    EXPECT_EQ(found[0].friendlyName, QStringLiteral("vivid-000-vid-cap"));
}

TEST_F(VividTest, FramesSizesFillTheResolutionTable)
{
    auto source = backend.open(kPath);
    ASSERT_TRUE(source);
    std::vector<Capability> caps = source->capabilities();
    // YUYV only (vivid has no MJPEG), at its six sizes.
    for (const Capability& c : caps)
        EXPECT_EQ(c.format, FormatYUY2);
    const ResolutionTable table = buildResolutionTable(caps);
    const ResolutionTable expected{{{640, 360, FormatYUY2},
                                    {640, 480, FormatYUY2},
                                    {1280, 720, FormatYUY2},
                                    {1920, 1080, FormatYUY2},
                                    {3840, 2160, FormatYUY2}}};
    EXPECT_EQ(table, expected);  // 320 x 180 is below the smallest size kept
    EXPECT_TRUE(source->setFormat(1280, 720, FormatYUY2));
    EXPECT_FALSE(source->setFormat(1280, 720, FormatMJPG));  // the driver picks YUYV instead
}

TEST_F(VividTest, StreamsTheColourBarsAtTwoSizes)
{
    LiveStream device({});
    stream(device, 640, 480);
    EXPECT_TRUE(waitFor([&] { return bool(showsColourBars(device, 640, 480)); }, 5000)) << showsColourBars(device, 640, 480);
    ASSERT_TRUE(device.SetResolution(1280, 720));
    EXPECT_TRUE(device.isRunning());
    EXPECT_TRUE(waitFor([&] { return bool(showsColourBars(device, 1280, 720)); })) << showsColourBars(device, 1280, 720);
    device.Close();
}

TEST_F(VividTest, PictureControlsAreReadAndSet)
{
    auto source = backend.open(kPath);
    ASSERT_TRUE(source);
    std::map<uint32_t, CameraControl> byId;
    for (const CameraControl& c : source->controls())
        byId[c.id] = c;
    for (const uint32_t id : {V4L2_CID_BRIGHTNESS, V4L2_CID_CONTRAST, V4L2_CID_SATURATION, V4L2_CID_HUE})
        EXPECT_TRUE(byId.count(id)) << "control " << id;
    EXPECT_FALSE(byId.count(V4L2_CID_GAMMA));
    const CameraControl brightness = byId.at(V4L2_CID_BRIGHTNESS);
    EXPECT_EQ(brightness.name, std::string("Brightness"));
    EXPECT_EQ(brightness.minimum, 0);
    EXPECT_EQ(brightness.maximum, 255);
    EXPECT_TRUE(source->setControl(V4L2_CID_BRIGHTNESS, 200));
    for (const CameraControl& c : source->controls()) {
        if (c.id == V4L2_CID_BRIGHTNESS) {
            EXPECT_EQ(c.value, 200);
        }
    }
    // Out of range: the kernel clamps it.
    EXPECT_TRUE(source->setControl(V4L2_CID_BRIGHTNESS, 1000));
    for (const CameraControl& c : source->controls()) {
        if (c.id == V4L2_CID_BRIGHTNESS) {
            EXPECT_EQ(c.value, 255);
        }
    }
    EXPECT_TRUE(source->setControl(V4L2_CID_BRIGHTNESS, brightness.defaultValue));
}

TEST_F(VividTest, InjectedErrorsAreSurvived)
{
    LiveStream device({});
    stream(device, 640, 480);

    // A frame flagged as broken is skipped; the next ones come.
    ASSERT_TRUE(controls.count("Inject V4L2_BUF_FLAG_ERROR"));
    // Set through the stream: the capture thread applies it between frames.
    device.setControl(controls.at("Inject V4L2_BUF_FLAG_ERROR"), 0);
    device.latestFrame().frameArrived.store(0);
    EXPECT_TRUE(waitFor([&] { return device.latestFrame().frameArrived.load() != 0; }));
    EXPECT_TRUE(device.isRunning());

    // A start that fails leaves the slot stopped, and the next start works.
    for (const char* name : {"Inject VIDIOC_STREAMON Error", "Inject VIDIOC_REQBUFS Error", "Inject VIDIOC_QBUF Error"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(controls.count(name));
        ASSERT_TRUE(device.Stop());
        device.setControl(controls.at(name), 0);
        EXPECT_FALSE(device.Run());
        EXPECT_FALSE(device.isRunning());
        device.latestFrame().frameArrived.store(0);
        ASSERT_TRUE(device.Run());
        EXPECT_TRUE(waitFor([&] { return device.latestFrame().frameArrived.load() != 0; }));
    }
    EXPECT_TRUE(showsColourBars(device, 640, 480));

    // A fatal streaming error (every later buffer fails with EIO) ends the
    // capture thread instead of spinning on it; a restart streams again.
    std::atomic<bool> gone{false};
    QObject::connect(&device, &LiveStream::deviceGone, &device, [&] { gone = true; });
    ASSERT_TRUE(controls.count("Inject Fatal Streaming Error"));
    device.setControl(controls.at("Inject Fatal Streaming Error"), 0);
    EXPECT_TRUE(waitFor([&] { return gone.load(); }, 5000));
    EXPECT_FALSE(device.isRunning());
    device.latestFrame().frameArrived.store(0);
    ASSERT_TRUE(device.Run());
    EXPECT_TRUE(waitFor([&] { return device.latestFrame().frameArrived.load() != 0; }));
    device.Close();
}

TEST_F(VividTest, UnbindAndBindAreAnUnplugAndAReplug)
{
    // The watcher the main window listens to (its one-second device check
    // follows these events).
    std::unique_ptr<DeviceWatcher> watcher = backend.watch();
    std::vector<bool> events;
    QObject::connect(watcher.get(), &DeviceWatcher::changed, watcher.get(), [&](bool arrival) { events.push_back(arrival); });
    LiveStream device({});
    stream(device, 640, 480);
    std::atomic<bool> gone{false};
    QObject::connect(&device, &LiveStream::deviceGone, &device, [&] { gone = true; });
    ASSERT_TRUE(unbind());
    EXPECT_TRUE(waitFor([&] { return gone.load(); }, 5000));
    EXPECT_FALSE(device.isRunning());  // the capture thread ended: no spinning on a dead node
    device.Close();
    EXPECT_TRUE(waitFor([] { return ::access(kNode, F_OK) != 0; }, 5000));
    EXPECT_TRUE(backend.enumerate().empty());
    EXPECT_TRUE(waitFor([&] { return !events.empty(); }, 5000));
    EXPECT_EQ(events, std::vector<bool>{false});

    ASSERT_TRUE(bind());
    ASSERT_TRUE(waitFor([] { return ::access(kNode, F_OK) == 0; }, 5000));
    EXPECT_TRUE(waitFor([&] { return events.size() >= 2; }, 5000));
    EXPECT_EQ(events, (std::vector<bool>{false, true}));
    const std::vector<FoundDevice> back = backend.enumerate();
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].devicePath, kPath);  // the same path: the slot takes it again
    LiveStream again({});
    stream(again, 640, 480);
    again.Close();
}

// Last: vivid's disconnect leaves the node dead until it is bound again.
TEST_F(VividTest, DisconnectMidRecordingLeavesAPlayableClip)
{
    const QString folder = QDir::tempPath() + QLatin1String("/Video");
    ASSERT_TRUE(QDir().mkpath(folder));
    LiveStream device({});
    stream(device, 640, 480);
    std::atomic<bool> gone{false};
    QObject::connect(&device, &LiveStream::deviceGone, &device, [&] { gone = true; });
    const QString clip = device.StartClip(folder, QStringLiteral("V_"), false);
    ASSERT_FALSE(clip.isEmpty());
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { device.pacer().tick(); });
    ticks.start(200);
    ASSERT_TRUE(waitFor([&] { return device.clipFrames() >= 3; }));

    ASSERT_TRUE(controls.count("Disconnect"));
    device.setControl(controls.at("Disconnect"), 0);
    EXPECT_TRUE(waitFor([&] { return gone.load(); }, 5000));
    EXPECT_FALSE(device.isRunning());
    EXPECT_FALSE(device.isRecording());
    const int written = device.clipFrames();
    device.Close();

    cv::VideoCapture read(clip.toStdString());
    ASSERT_TRUE(read.isOpened());
    EXPECT_EQ(static_cast<int>(read.get(cv::CAP_PROP_FRAME_WIDTH)), 640);
    int frames = 0;
    cv::Mat m;
    while (read.read(m))
        ++frames;
    EXPECT_EQ(frames, written);
    EXPECT_GE(frames, 3);

    // Bound again, it streams once more.
    ASSERT_TRUE(unbind());
    ASSERT_TRUE(bind());
    ASSERT_TRUE(waitFor([] { return ::access(kNode, F_OK) == 0; }, 5000));
    LiveStream again({});
    stream(again, 640, 480);
    again.Close();
}
