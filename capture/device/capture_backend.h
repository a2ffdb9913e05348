#pragma once

#include "capture/core/camera_control.h"
#include "capture/core/device_list.h"
#include "capture/core/resolution_table.h"
#include "device_watcher.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace capture {

// One frame as the device delivered it; the bytes stay valid until the
// next call to nextFrame().
struct DeviceFrame {
    const uint8_t* data = nullptr;
    size_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = FormatNone;
    double sampleTime = 0;  // seconds since streaming started
};

enum class FrameWait { Frame, Timeout, Gone };

// An opened camera.
class CaptureSource {
public:
    virtual ~CaptureSource() = default;
    virtual std::vector<Capability> capabilities() = 0;
    virtual bool setFormat(int32_t width, int32_t height, int32_t format) = 0;
    virtual bool start() = 0;
    virtual void stop() = 0;
    // Waits at most `timeoutMs` for a frame. Gone: the device was unplugged.
    virtual FrameWait nextFrame(int timeoutMs, DeviceFrame& frame) = 0;
    virtual std::vector<CameraControl> controls() = 0;
    virtual bool setControl(uint32_t id, int32_t value) = 0;
    // True once per press of the microscope's still button.
    virtual bool stillButtonPressed() = 0;
    // A network camera that stopped delivering and is being reached again;
    // read from any thread.
    virtual bool reconnecting() const { return false; }
    // A camera that keeps a mode of its own (a network camera) streams in it
    // when first built, its first capability, rather than in a size saved here.
    virtual bool keepsItsMode() const { return false; }
    // The Resolution menu's items when the camera names its sizes itself (a
    // network camera's modes), each its label and size; empty: the menu
    // lists the frame sizes.
    virtual std::vector<std::pair<QString, std::pair<int32_t, int32_t>>> menuSizes() const { return {}; }
};

// A way of reaching cameras: the kernel's V4L2 devices or the simulated microscopes.
class CaptureBackend {
public:
    virtual ~CaptureBackend() = default;
    virtual const char* name() const = 0;
    virtual std::vector<FoundDevice> enumerate() = 0;
    virtual std::unique_ptr<CaptureSource> open(const QString& devicePath) = 0;
    // Reports cameras coming and going, on the calling thread.
    virtual std::unique_ptr<DeviceWatcher> watch() { return std::make_unique<DeviceWatcher>(); }
};

// The table of backends a run can choose from; the program picks one at
// start ("v4l2" unless told otherwise) and hands it to whoever opens cameras.
struct BackendEntry {
    const char* name;
    std::function<std::unique_ptr<CaptureBackend>(int devices)> create;
};
const std::vector<BackendEntry>& backendTable();

}  // namespace capture
