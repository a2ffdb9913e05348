// The V4L2 backend against a scripted device behind its system-call table.
#include "capture/device/v4l2_backend.h"

#include <linux/input.h>
#include <linux/videodev2.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <sys/mman.h>

using namespace capture;

namespace {

constexpr int kVideoFd = 42;
constexpr int kInputFd = 43;
constexpr size_t kBufferSize = 1 << 16;

// What the scripted device does when polled next.
enum class Step { Frame, EmptyFrame, Stall, PollError, Unplugged };

struct FakeDevice {
    std::deque<Step> script;
    std::deque<std::vector<uint8_t>> frames;
    std::vector<std::vector<uint8_t>> buffers;
    std::deque<uint32_t> queued;
    bool streaming = false;
    int polls = 0;
    uint32_t width = 640, height = 480, pixelformat = V4L2_PIX_FMT_YUYV;
    int32_t brightness = 0;
    std::deque<input_event> input;
    int closed = 0;
};
FakeDevice* g = nullptr;

int fakeOpen(const char* path, int)
{
    if (std::strcmp(path, "/dev/video7") == 0)
        return kVideoFd;
    if (std::strcmp(path, "/dev/input/event3") == 0)
        return kInputFd;
    errno = ENOENT;
    return -1;
}

int fakeClose(int)
{
    ++g->closed;
    return 0;
}

bool offered(uint32_t fourcc, uint32_t w, uint32_t h)
{
    if (fourcc == V4L2_PIX_FMT_YUYV)
        return (w == 640 && h == 480) || (w == 1280 && h == 1024);
    if (fourcc == V4L2_PIX_FMT_MJPEG)
        return (w == 640 && h == 480) || (w == 1920 && h == 1080);
    return false;
}

int fakeIoctl(int, unsigned long request, void* arg)
{
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto* c = static_cast<v4l2_capability*>(arg);
        c->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
        c->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        return 0;
    }
    case VIDIOC_ENUM_FMT: {
        auto* f = static_cast<v4l2_fmtdesc*>(arg);
        static const uint32_t formats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_H264, V4L2_PIX_FMT_MJPEG};
        if (f->index >= 3) {
            errno = EINVAL;
            return -1;
        }
        f->pixelformat = formats[f->index];
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* s = static_cast<v4l2_frmsizeenum*>(arg);
        const bool yuyv = s->pixel_format == V4L2_PIX_FMT_YUYV;
        const uint32_t sizes[2][2] = {{640, 480}, {yuyv ? 1280u : 1920u, yuyv ? 1024u : 1080u}};
        if (s->index >= 2 || (s->pixel_format != V4L2_PIX_FMT_YUYV && s->pixel_format != V4L2_PIX_FMT_MJPEG)) {
            errno = EINVAL;
            return -1;
        }
        s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
        s->discrete.width = sizes[s->index][0];
        s->discrete.height = sizes[s->index][1];
        return 0;
    }
    case VIDIOC_S_FMT: {
        auto* f = static_cast<v4l2_format*>(arg);
        if (offered(f->fmt.pix.pixelformat, f->fmt.pix.width, f->fmt.pix.height)) {
            g->width = f->fmt.pix.width, g->height = f->fmt.pix.height, g->pixelformat = f->fmt.pix.pixelformat;
        }
        f->fmt.pix.width = g->width, f->fmt.pix.height = g->height, f->fmt.pix.pixelformat = g->pixelformat;
        return 0;
    }
    case VIDIOC_REQBUFS: {
        auto* r = static_cast<v4l2_requestbuffers*>(arg);
        g->buffers.assign(r->count, std::vector<uint8_t>(kBufferSize));
        g->queued.clear();
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        b->length = kBufferSize;
        b->m.offset = b->index * kBufferSize;
        return 0;
    }
    case VIDIOC_QBUF: g->queued.push_back(static_cast<v4l2_buffer*>(arg)->index); return 0;
    case VIDIOC_STREAMON: g->streaming = true; return 0;
    case VIDIOC_STREAMOFF: g->streaming = false; return 0;
    case VIDIOC_DQBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        const Step step = g->script.front();
        g->script.pop_front();
        if (step == Step::Unplugged) {
            errno = ENODEV;
            return -1;
        }
        b->index = g->queued.front();
        g->queued.pop_front();
        if (step == Step::EmptyFrame) {
            b->bytesused = 0;
        } else {
            const std::vector<uint8_t> bytes = g->frames.front();
            g->frames.pop_front();
            std::memcpy(g->buffers[b->index].data(), bytes.data(), bytes.size());
            b->bytesused = static_cast<uint32_t>(bytes.size());
        }
        b->timestamp.tv_sec = 12;
        return 0;
    }
    case VIDIOC_QUERYCTRL: {
        auto* q = static_cast<v4l2_queryctrl*>(arg);
        if ((q->id & ~V4L2_CTRL_FLAG_NEXT_CTRL) >= V4L2_CID_BRIGHTNESS) {
            errno = EINVAL;
            return -1;
        }
        q->id = V4L2_CID_BRIGHTNESS;
        q->type = V4L2_CTRL_TYPE_INTEGER;
        std::strcpy(reinterpret_cast<char*>(q->name), "Brightness");
        q->minimum = -64, q->maximum = 64, q->step = 1, q->default_value = 0, q->flags = 0;
        return 0;
    }
    case VIDIOC_G_CTRL: static_cast<v4l2_control*>(arg)->value = g->brightness; return 0;
    case VIDIOC_S_CTRL: g->brightness = static_cast<v4l2_control*>(arg)->value; return 0;
    default: errno = ENOTTY; return -1;
    }
}

void* fakeMmap(void*, size_t, int, int, int, off_t offset)
{
    return g->buffers.at(static_cast<size_t>(offset) / kBufferSize).data();
}

int fakeMunmap(void*, size_t)
{
    return 0;
}

int fakePoll(pollfd* p, nfds_t, int)
{
    ++g->polls;
    switch (g->script.front()) {
    case Step::Stall: g->script.pop_front(); return 0;
    case Step::PollError:
        g->script.pop_front();
        p->revents = POLLERR;
        return 1;
    default: p->revents = POLLIN; return 1;
    }
}

ssize_t fakeRead(int, void* buffer, size_t size)
{
    if (g->input.empty() || size < sizeof(input_event)) {
        errno = EAGAIN;
        return -1;
    }
    std::memcpy(buffer, &g->input.front(), sizeof(input_event));
    g->input.pop_front();
    return sizeof(input_event);
}

const V4l2Ops kFakeOps{fakeOpen, fakeClose, fakeIoctl, fakeMmap, fakeMunmap, fakePoll, fakeRead};

class V4l2Fake : public ::testing::Test {
protected:
    void SetUp() override { g = &device; }
    void TearDown() override { g = nullptr; }
    FakeDevice device;
    V4l2Backend backend{kFakeOps};
};

}  // namespace

TEST_F(V4l2Fake, FormatsAndSizesAreEnumerated)
{
    auto source = backend.openNode("/dev/video7");
    ASSERT_TRUE(source);
    const std::vector<Capability> caps = source->capabilities();
    ASSERT_EQ(caps.size(), 4u);  // H.264 is not ours
    EXPECT_EQ(caps[0].format, FormatYUY2);
    EXPECT_EQ(caps[1].width, 1280);
    EXPECT_EQ(caps[3].format, FormatMJPG);
    EXPECT_EQ(caps[3].height, 1080);
    EXPECT_TRUE(source->setFormat(1920, 1080, FormatMJPG));
    EXPECT_FALSE(source->setFormat(800, 600, FormatMJPG));  // the driver keeps what it has
    EXPECT_FALSE(backend.openNode("/dev/video9"));
    const auto ctrls = source->controls();
    ASSERT_EQ(ctrls.size(), 1u);
    EXPECT_EQ(ctrls[0].name, "Brightness");
    EXPECT_TRUE(source->setControl(V4L2_CID_BRIGHTNESS, 12));
    EXPECT_EQ(device.brightness, 12);
}

TEST_F(V4l2Fake, StreamingSkipsEmptyFramesWaitsOutStallsAndNoticesTheUnplug)
{
    auto source = backend.openNode("/dev/video7");
    ASSERT_TRUE(source->setFormat(640, 480, FormatYUY2));
    ASSERT_TRUE(source->start());
    EXPECT_EQ(device.queued.size(), 4u);
    device.frames = {{1, 2, 3, 4}, {5, 6}};
    device.script = {Step::Frame, Step::EmptyFrame, Step::Stall, Step::Frame, Step::Unplugged};

    DeviceFrame f;
    ASSERT_EQ(source->nextFrame(100, f), FrameWait::Frame);
    EXPECT_EQ(std::vector<uint8_t>(f.data, f.data + f.size), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(f.width, 640);
    EXPECT_EQ(f.format, FormatYUY2);
    EXPECT_EQ(f.sampleTime, 12.0);
    EXPECT_EQ(source->nextFrame(100, f), FrameWait::Timeout);  // zero bytes
    EXPECT_EQ(source->nextFrame(100, f), FrameWait::Timeout);  // nothing within the timeout
    ASSERT_EQ(source->nextFrame(100, f), FrameWait::Frame);
    EXPECT_EQ(f.size, 2u);
    EXPECT_EQ(device.queued.size(), 3u);  // the earlier buffers went back to the driver
    EXPECT_EQ(source->nextFrame(100, f), FrameWait::Gone);
    EXPECT_EQ(device.polls, 5);  // one wait per call: no spinning
    source->stop();
    EXPECT_FALSE(device.streaming);
}

TEST_F(V4l2Fake, PollErrorMeansTheDeviceIsGone)
{
    auto source = backend.openNode("/dev/video7");
    ASSERT_TRUE(source->start());
    device.script = {Step::PollError};
    DeviceFrame f;
    EXPECT_EQ(source->nextFrame(100, f), FrameWait::Gone);
}

TEST_F(V4l2Fake, StillButtonIsTheCameraKeyOfTheInputNode)
{
    auto source = backend.openNode("/dev/video7", "/dev/input/event3");
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->stillButtonPressed());
    input_event down{}, up{};
    down.type = EV_KEY, down.code = KEY_CAMERA, down.value = 1;
    up = down;
    up.value = 0;
    device.input = {down, up};
    EXPECT_TRUE(source->stillButtonPressed());
    EXPECT_FALSE(source->stillButtonPressed());
    source.reset();
    EXPECT_EQ(device.closed, 2);  // the capture node and the input node
}

TEST(V4l2Paths, InTheFormTheMicroscopeTestReads)
{
    const QString path = v4l2DevicePath(QStringLiteral("14C3"), QStringLiteral("1302"), QStringLiteral("SN42"),
                                        QStringLiteral("/dev/video2"));
    EXPECT_EQ(path, QStringLiteral("usb#vid_14c3&pid_1302#SN42#/dev/video2"));
    EXPECT_EQ(modelIndexOf(path), 1);
}
