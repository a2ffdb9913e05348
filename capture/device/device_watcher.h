#pragma once

#include <QObject>

#include <memory>

namespace capture {

// Tells the GUI thread that a camera was plugged in or pulled out. The
// backend in use makes it; one that cannot watch makes one that stays silent.
class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void changed(bool arrival);
};

// Watches the kernel's video4linux devices through a udev monitor; silent
// when udev cannot be reached.
std::unique_ptr<DeviceWatcher> createUdevWatcher();

}  // namespace capture
