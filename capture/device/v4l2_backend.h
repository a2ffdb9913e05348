#pragma once

#include "capture_backend.h"

#include <functional>
#include <map>
#include <poll.h>
#include <string>
#include <sys/types.h>

namespace capture {

// Every call the V4L2 backend makes into the system, so tests can script a
// device (the seam v4l-utils' helpers use too).
struct V4l2Ops {
    int (*open)(const char* path, int flags);
    int (*close)(int fd);
    int (*ioctl)(int fd, unsigned long request, void* arg);
    void* (*mmap)(void* addr, size_t length, int prot, int flags, int fd, off_t offset);
    int (*munmap)(void* addr, size_t length);
    int (*poll)(struct pollfd* fds, nfds_t count, int timeoutMs);
    ssize_t (*read)(int fd, void* buffer, size_t size);
};

// The real system calls.
const V4l2Ops& systemV4l2Ops();

// USB microscopes through the kernel's V4L2 interface: udev finds the capture
// nodes of the accepted devices; frames stream through mmap buffers on a
// non-blocking descriptor; the still button is the device's KEY_CAMERA.
class V4l2Backend : public CaptureBackend {
public:
    // Which capture nodes enumerate() lists, by device path. Unset: the
    // accepted microscopes only. Capture nodes not on USB get the path
    // "<bus>#<device>#/dev/videoN", which no microscope test accepts; a test
    // against the kernel's virtual camera widens the filter to reach one.
    using DeviceFilter = std::function<bool(const QString& devicePath)>;

    explicit V4l2Backend(const V4l2Ops& ops = systemV4l2Ops(), DeviceFilter accept = {});

    const char* name() const override { return "v4l2"; }
    std::vector<FoundDevice> enumerate() override;
    std::unique_ptr<DeviceWatcher> watch() override { return createUdevWatcher(); }
    std::unique_ptr<CaptureSource> open(const QString& devicePath) override;

    // Opens a capture node directly (tests, and devices udev cannot see).
    std::unique_ptr<CaptureSource> openNode(const std::string& node, const std::string& stillInputNode = {});

private:
    const V4l2Ops& m_ops;
    DeviceFilter m_accept;
    std::map<QString, std::string> m_stillInputs;  // device path -> /dev/input/eventN
};

// The device path in the form the microscope test expects:
// usb#vid_14c3&pid_1301#<serial or USB path>#/dev/videoN
QString v4l2DevicePath(const QString& vendor, const QString& product, const QString& serial, const QString& node);

}  // namespace capture
