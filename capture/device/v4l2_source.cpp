// One V4L2 capture node: formats, frame sizes, controls, mmap streaming.
#include "v4l2_backend.h"

#include <linux/input.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/mman.h>

namespace capture {

namespace {

constexpr unsigned kBufferCount = 4;

int32_t formatOf(uint32_t fourcc)
{
    if (fourcc == V4L2_PIX_FMT_YUYV)
        return FormatYUY2;
    if (fourcc == V4L2_PIX_FMT_MJPEG)
        return FormatMJPG;
    return FormatNone;
}

class V4l2Source : public CaptureSource {
public:
    V4l2Source(const V4l2Ops& ops, int fd, int inputFd) : m_ops(ops), m_fd(fd), m_inputFd(inputFd) {}
    ~V4l2Source() override
    {
        stop();
        if (m_inputFd >= 0)
            m_ops.close(m_inputFd);
        m_ops.close(m_fd);
    }

    int xioctl(unsigned long request, void* arg)
    {
        int r;
        do {
            r = m_ops.ioctl(m_fd, request, arg);
        } while (r == -1 && errno == EINTR);
        return r;
    }

    std::vector<Capability> capabilities() override
    {
        std::vector<Capability> caps;
        for (uint32_t i = 0;; ++i) {
            v4l2_fmtdesc fmt{};
            fmt.index = i;
            fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            if (xioctl(VIDIOC_ENUM_FMT, &fmt) != 0)
                break;
            const int32_t format = formatOf(fmt.pixelformat);
            if (format == FormatNone)
                continue;
            for (uint32_t j = 0; j < 256; ++j) {
                v4l2_frmsizeenum size{};
                size.index = j;
                size.pixel_format = fmt.pixelformat;
                if (xioctl(VIDIOC_ENUM_FRAMESIZES, &size) != 0)
                    break;
                if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                    caps.push_back({int32_t(size.discrete.width), int32_t(size.discrete.height), format});
                } else {
                    // A range: its two ends stand for it.
                    caps.push_back({int32_t(size.stepwise.min_width), int32_t(size.stepwise.min_height), format});
                    caps.push_back({int32_t(size.stepwise.max_width), int32_t(size.stepwise.max_height), format});
                    break;
                }
            }
        }
        return caps;
    }

    bool setFormat(int32_t width, int32_t height, int32_t format) override
    {
        if (m_streaming)
            return false;
        v4l2_format f{};
        f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        f.fmt.pix.width = static_cast<uint32_t>(width);
        f.fmt.pix.height = static_cast<uint32_t>(height);
        f.fmt.pix.pixelformat = format == FormatMJPG ? V4L2_PIX_FMT_MJPEG : V4L2_PIX_FMT_YUYV;
        f.fmt.pix.field = V4L2_FIELD_ANY;
        if (xioctl(VIDIOC_S_FMT, &f) != 0)
            return false;
        m_width = int32_t(f.fmt.pix.width);
        m_height = int32_t(f.fmt.pix.height);
        m_format = formatOf(f.fmt.pix.pixelformat);
        return m_width == width && m_height == height && m_format == format;
    }

    bool start() override
    {
        if (m_streaming)
            return true;
        v4l2_requestbuffers req{};
        req.count = kBufferCount;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        if (xioctl(VIDIOC_REQBUFS, &req) != 0 || req.count < 2)
            return false;
        m_buffers.clear();
        for (uint32_t i = 0; i < req.count; ++i) {
            v4l2_buffer b{};
            b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            b.memory = V4L2_MEMORY_MMAP;
            b.index = i;
            if (xioctl(VIDIOC_QUERYBUF, &b) != 0)
                return releaseBuffers(), false;
            void* p = m_ops.mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, b.m.offset);
            if (p == MAP_FAILED)
                return releaseBuffers(), false;
            m_buffers.push_back({p, b.length});
            if (xioctl(VIDIOC_QBUF, &b) != 0)
                return releaseBuffers(), false;
        }
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (xioctl(VIDIOC_STREAMON, &type) != 0)
            return releaseBuffers(), false;
        m_streaming = true;
        m_held = -1;
        return true;
    }

    void stop() override
    {
        if (m_streaming) {
            v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            xioctl(VIDIOC_STREAMOFF, &type);
            m_streaming = false;
        }
        releaseBuffers();
    }

    FrameWait nextFrame(int timeoutMs, DeviceFrame& frame) override
    {
        if (!m_streaming)
            return FrameWait::Timeout;
        requeueHeld();
        pollfd p{m_fd, POLLIN, 0};
        const int r = m_ops.poll(&p, 1, timeoutMs);
        if (r == 0)
            return FrameWait::Timeout;  // a stall: the caller waits again, never spins
        if (r < 0)
            return errno == EINTR ? FrameWait::Timeout : FrameWait::Gone;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
            return FrameWait::Gone;
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        if (xioctl(VIDIOC_DQBUF, &b) != 0)
            return errno == EAGAIN ? FrameWait::Timeout : FrameWait::Gone;
        if (b.index >= m_buffers.size())
            return FrameWait::Gone;
        m_held = int(b.index);
        if (b.bytesused == 0 || (b.flags & V4L2_BUF_FLAG_ERROR) || b.bytesused > m_buffers[b.index].length)
            return FrameWait::Timeout;  // an empty or broken frame: skipped
        frame.data = static_cast<const uint8_t*>(m_buffers[b.index].start);
        frame.size = b.bytesused;
        frame.width = m_width;
        frame.height = m_height;
        frame.format = m_format;
        frame.sampleTime = double(b.timestamp.tv_sec) + double(b.timestamp.tv_usec) / 1e6;
        return FrameWait::Frame;
    }

    std::vector<CameraControl> controls() override
    {
        std::vector<CameraControl> out;
        v4l2_queryctrl q{};
        q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        while (xioctl(VIDIOC_QUERYCTRL, &q) == 0) {
            const bool menu = q.type == V4L2_CTRL_TYPE_MENU || q.type == V4L2_CTRL_TYPE_INTEGER_MENU;
            if (!(q.flags & V4L2_CTRL_FLAG_DISABLED)
                && (q.type == V4L2_CTRL_TYPE_INTEGER || q.type == V4L2_CTRL_TYPE_BOOLEAN || menu)) {
                v4l2_control c{};
                c.id = q.id;
                xioctl(VIDIOC_G_CTRL, &c);
                CameraControl control;
                control.id = q.id;
                control.name.assign(reinterpret_cast<const char*>(q.name),
                                    strnlen(reinterpret_cast<const char*>(q.name), sizeof q.name));
                control.minimum = q.minimum;
                control.maximum = q.maximum;
                control.step = q.step;
                control.defaultValue = q.default_value;
                control.value = c.value;
                control.isSwitch = q.type == V4L2_CTRL_TYPE_BOOLEAN;
                control.flags = q.flags;
                if (menu)
                    control.choices = choicesOf(q);
                out.push_back(std::move(control));
            }
            q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        return out;
    }

    // The entries of a menu control; the driver leaves out the ones it lacks.
    std::vector<CameraControl::Choice> choicesOf(const v4l2_queryctrl& q)
    {
        std::vector<CameraControl::Choice> out;
        for (int32_t i = q.minimum; i <= q.maximum && i - q.minimum < 64; ++i) {
            v4l2_querymenu m{};
            m.id = q.id;
            m.index = static_cast<uint32_t>(i);
            if (xioctl(VIDIOC_QUERYMENU, &m) != 0)
                continue;
            std::string name = q.type == V4L2_CTRL_TYPE_INTEGER_MENU
                ? std::to_string(m.value)
                : std::string(reinterpret_cast<const char*>(m.name),
                              strnlen(reinterpret_cast<const char*>(m.name), sizeof m.name));
            out.push_back({i, std::move(name)});
        }
        return out;
    }

    bool setControl(uint32_t id, int32_t value) override
    {
        v4l2_control c{};
        c.id = id;
        c.value = value;
        return xioctl(VIDIOC_S_CTRL, &c) == 0;
    }

    bool stillButtonPressed() override
    {
        if (m_inputFd < 0)
            return false;
        bool pressed = false;
        input_event ev;
        while (m_ops.read(m_inputFd, &ev, sizeof ev) == ssize_t(sizeof ev)) {
            if (ev.type == EV_KEY && ev.code == KEY_CAMERA && ev.value == 1)
                pressed = true;
        }
        return pressed;
    }

private:
    struct Buffer {
        void* start;
        size_t length;
    };

    void requeueHeld()
    {
        if (m_held < 0)
            return;
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        b.index = uint32_t(m_held);
        xioctl(VIDIOC_QBUF, &b);
        m_held = -1;
    }

    void releaseBuffers()
    {
        for (const Buffer& b : m_buffers)
            m_ops.munmap(b.start, b.length);
        if (!m_buffers.empty()) {
            v4l2_requestbuffers req{};
            req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            req.memory = V4L2_MEMORY_MMAP;
            xioctl(VIDIOC_REQBUFS, &req);
        }
        m_buffers.clear();
        m_held = -1;
    }

    const V4l2Ops& m_ops;
    int m_fd;
    int m_inputFd;
    bool m_streaming = false;
    std::vector<Buffer> m_buffers;
    int m_held = -1;
    int32_t m_width = 0, m_height = 0, m_format = FormatNone;
    // Control names by id: the names handed out stay where they are for
    // the source's life, however often the controls are listed.
};

}  // namespace

std::unique_ptr<CaptureSource> V4l2Backend::openNode(const std::string& node, const std::string& stillInputNode)
{
    const int fd = m_ops.open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    v4l2_capability cap{};
    const uint32_t wanted = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    if (m_ops.ioctl(fd, VIDIOC_QUERYCAP, &cap) != 0
        || (((cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities) & wanted) != wanted) {
        m_ops.close(fd);
        return nullptr;
    }
    const int input = stillInputNode.empty() ? -1 : m_ops.open(stillInputNode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return std::make_unique<V4l2Source>(m_ops, fd, input);
}

}  // namespace capture
