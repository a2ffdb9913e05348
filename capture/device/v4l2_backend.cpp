// Finding the microscopes' capture nodes with udev.
#include "v4l2_backend.h"

#include "capture/core/device_list.h"

#include <libudev.h>
#include <linux/videodev2.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace capture {

namespace {

int sysOpen(const char* path, int flags)
{
    return ::open(path, flags);
}

int sysIoctl(int fd, unsigned long request, void* arg)
{
    return ::ioctl(fd, request, arg);
}

QString attribute(udev_device* d, const char* name)
{
    const char* v = d ? udev_device_get_sysattr_value(d, name) : nullptr;
    return v ? QString::fromUtf8(v).trimmed() : QString();
}

// The input node (/dev/input/eventN) of the same USB device: its still button.
std::string stillInputOf(udev* u, udev_device* usbParent)
{
    std::string found;
    udev_enumerate* e = udev_enumerate_new(u);
    udev_enumerate_add_match_subsystem(e, "input");
    udev_enumerate_scan_devices(e);
    for (udev_list_entry* it = udev_enumerate_get_list_entry(e); it && found.empty(); it = udev_list_entry_get_next(it)) {
        udev_device* d = udev_device_new_from_syspath(u, udev_list_entry_get_name(it));
        const char* node = d ? udev_device_get_devnode(d) : nullptr;
        udev_device* parent = d ? udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_device") : nullptr;
        if (node && parent && std::string(udev_device_get_syspath(parent)) == udev_device_get_syspath(usbParent)
            && std::string(node).find("/event") != std::string::npos)
            found = node;
        if (d)
            udev_device_unref(d);
    }
    udev_enumerate_unref(e);
    return found;
}

}  // namespace

const V4l2Ops& systemV4l2Ops()
{
    static const V4l2Ops ops{sysOpen, ::close, sysIoctl, ::mmap, ::munmap, ::poll, ::read};
    return ops;
}

QString v4l2DevicePath(const QString& vendor, const QString& product, const QString& serial, const QString& node)
{
    return QStringLiteral("usb#vid_%1&pid_%2#%3#%4").arg(vendor.toLower(), product.toLower(), serial, node);
}

V4l2Backend::V4l2Backend(const V4l2Ops& ops, DeviceFilter accept) : m_ops(ops), m_accept(std::move(accept))
{
    if (!m_accept)
        m_accept = [](const QString& path) { return modelIndexOf(path) >= 0; };
}

std::vector<FoundDevice> V4l2Backend::enumerate()
{
    std::vector<FoundDevice> found;
    udev* u = udev_new();
    if (!u)
        return found;
    udev_enumerate* e = udev_enumerate_new(u);
    udev_enumerate_add_match_subsystem(e, "video4linux");
    udev_enumerate_scan_devices(e);
    for (udev_list_entry* it = udev_enumerate_get_list_entry(e); it; it = udev_list_entry_get_next(it)) {
        udev_device* d = udev_device_new_from_syspath(u, udev_list_entry_get_name(it));
        if (!d)
            continue;
        const char* node = udev_device_get_devnode(d);
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_device");
        udev_device* parent = udev_device_get_parent(d);
        QString path;
        if (node && usb) {
            QString serial = attribute(usb, "serial");
            if (serial.isEmpty())
                serial = QString::fromUtf8(udev_device_get_sysname(usb));  // the USB port path
            path = v4l2DevicePath(attribute(usb, "idVendor"), attribute(usb, "idProduct"), serial, QString::fromUtf8(node));
        } else if (node && parent && udev_device_get_subsystem(parent)) {
            path = QStringLiteral("%1#%2#%3")
                       .arg(QString::fromUtf8(udev_device_get_subsystem(parent)),
                            QString::fromUtf8(udev_device_get_sysname(parent)), QString::fromUtf8(node));
        }
        // Only capture nodes of accepted devices (a camera also has metadata nodes).
        if (!path.isEmpty() && m_accept(path)) {
            if (auto source = openNode(node)) {
                QString name = attribute(d, "name");
                if (name.isEmpty() && usb)
                    name = attribute(usb, "product");
                found.push_back({path, name});
                m_stillInputs[path] = usb ? stillInputOf(u, usb) : std::string();
            }
        }
        udev_device_unref(d);
    }
    udev_enumerate_unref(e);
    udev_unref(u);
    return found;
}

std::unique_ptr<CaptureSource> V4l2Backend::open(const QString& devicePath)
{
    const QString node = devicePath.section(QLatin1Char('#'), -1);
    if (!node.startsWith(QLatin1String("/dev/")))
        return nullptr;
    const auto input = m_stillInputs.find(devicePath);
    return openNode(node.toStdString(), input == m_stillInputs.end() ? std::string() : input->second);
}

}  // namespace capture
