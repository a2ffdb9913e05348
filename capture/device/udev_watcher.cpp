#include "device_watcher.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>
#include <unistd.h>

namespace capture {

namespace {

class UdevWatcher : public DeviceWatcher {
public:
    UdevWatcher()
    {
        m_udev = udev_new();
        // udev's own events come once the device node is ready for us; a
        // system without the udev daemon (a container, a minimal machine)
        // still has the kernel's.
        const char* source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
        m_monitor = m_udev ? udev_monitor_new_from_netlink(m_udev, source) : nullptr;
        if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "video4linux", nullptr) < 0
            || udev_monitor_enable_receiving(m_monitor) < 0)
            return;  // no udev (a container, a build machine): nothing to report
        m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readEvent(); });
    }
    ~UdevWatcher() override
    {
        delete m_notifier;
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        if (m_udev)
            udev_unref(m_udev);
    }

private:
    void readEvent()
    {
        udev_device* d = udev_monitor_receive_device(m_monitor);
        if (!d)
            return;
        const char* action = udev_device_get_action(d);
        const bool arrival = action && std::strcmp(action, "add") == 0;
        const bool removal = action && std::strcmp(action, "remove") == 0;
        udev_device_unref(d);
        if (arrival || removal)
            Q_EMIT changed(arrival);
    }

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace

std::unique_ptr<DeviceWatcher> createUdevWatcher()
{
    return std::make_unique<UdevWatcher>();
}

}  // namespace capture
