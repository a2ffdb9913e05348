#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <vector>

namespace capture {

// One microscope found on the system.
struct VideoDeviceEntry {
    int32_t modelIndex = -1;  // which accepted identifier its path holds; -1: empty
    int32_t inUse = 0;
    QString devicePath;  // in the form usb#vid_14c3&pid_1301#<serial>#/dev/videoN
    QString friendlyName;
    bool present = false;  // stands for the device handle
};

constexpr size_t kDeviceListSize = 10;
using DeviceList = std::array<VideoDeviceEntry, kDeviceListSize>;

// A capture node as a backend reports it.
struct FoundDevice {
    QString devicePath;
    QString friendlyName;
};

// 0, 1 or 2 for the first accepted identifier the path holds (compared
// without case), -1 for none.
int modelIndexOf(const QString& devicePath);

// Fills `scratch` with the accepted devices of `found`, in order, at most
// ten; when there is at least one, copies it over `live` (clearing the
// in-use flags). Answers whether any was found; `live` stays as it was
// otherwise.
bool enumerateDevices(const std::vector<FoundDevice>& found, DeviceList& scratch, DeviceList& live);

// The microscope each USB slot stands for: slot n is entry n - 1. A slot
// keeps its microscope while it is unplugged (`present` false), so its
// window and its button never pass to another one.
constexpr size_t kSlotCount = 5;
using SlotDevices = std::array<VideoDeviceEntry, kSlotCount>;

// What stays the same when a microscope is plugged in again: its path
// without the device node, that is the model and the USB serial (the USB
// port for a device without a serial).
QString deviceIdentity(const QString& devicePath);

// Binds the microscopes found now (`found`, as enumerateDevices fills its
// scratch list) to the slots. A slot finds its own microscope by device path,
// else by identity, whatever the order of the list; one not found is kept
// but not present. A microscope no slot knows takes the first slot that never
// had one, else the first whose microscope is not present; beyond five
// microscopes the rest get none.
void bindSlots(const DeviceList& found, SlotDevices& slots);

}  // namespace capture
