#pragma once

#include "capture_backend.h"

#include <QString>

#include <functional>
#include <memory>

namespace capture {

// What a look for a network camera found. `open` makes the source of its
// stream as the look saw the camera; empty when it was not found.
struct NetworkCameraLook {
    bool ok = false;
    QString why;
    int32_t cameraModel = 0;  // 0: none known
    std::function<std::unique_ptr<CaptureSource>()> open;
};

// A camera reached over the network (the WiFi microscope), as the program
// chose it at start: looked for from a worker thread, streamed by a source
// of its own, its still button watched apart from the stream.
class NetworkCamera {
public:
    virtual ~NetworkCamera() = default;
    // Where the camera was last looked for, for the user.
    virtual QString where() const = 0;
    // The settings folder of the run, once it is known.
    virtual void useSettings(const QString& settingsFolder) { (void)settingsFolder; }
    // Blocking, bounded in time: never on the GUI thread.
    virtual NetworkCameraLook look() = 0;
    // Calls `pressed` from a thread of its own at each press of the camera's
    // still button until stopped. The button's last state carries over a
    // switch off and on, so switching on again takes no picture by itself.
    virtual void watchStillButton(std::function<void()> pressed) = 0;
    virtual void stopWatchingStillButton() = 0;
    virtual bool watchingStillButton() const = 0;
    // A new window starts afresh: the first state it reads other than
    // "never pressed" is a press.
    virtual void forgetStillButton() = 0;
};

}  // namespace capture
