#include "device_list.h"

namespace capture {

namespace {

const char* const kAccepted[] = {"vid_14c3&pid_1301", "vid_14c3&pid_1302", "vid_14c3&pid_1303"};

}  // namespace

int modelIndexOf(const QString& devicePath)
{
    for (int i = 0; i < 3; ++i) {
        if (devicePath.contains(QLatin1String(kAccepted[i]), Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

bool enumerateDevices(const std::vector<FoundDevice>& found, DeviceList& scratch, DeviceList& live)
{
    scratch = {};
    size_t n = 0;
    for (const FoundDevice& d : found) {
        if (n == kDeviceListSize)
            break;
        const int model = modelIndexOf(d.devicePath);
        if (model < 0)
            continue;  // not a microscope of ours
        VideoDeviceEntry& e = scratch[n++];
        e.devicePath = d.devicePath;
        e.friendlyName = d.friendlyName;
        e.present = true;
        e.modelIndex = model;
    }
    if (n == 0)
        return false;
    live = scratch;
    for (VideoDeviceEntry& e : live)
        e.inUse = 0;
    return true;
}

QString deviceIdentity(const QString& devicePath)
{
    const qsizetype cut = devicePath.lastIndexOf(QLatin1Char('#'));
    return cut > 0 ? devicePath.left(cut) : devicePath;
}

void bindSlots(const DeviceList& found, SlotDevices& slots)
{
    std::array<bool, kDeviceListSize> taken{};
    std::array<bool, kSlotCount> matched{};
    const auto bind = [&](size_t slot, size_t device) {
        slots[slot] = found[device];
        slots[slot].present = true;
        matched[slot] = taken[device] = true;
    };
    // The exact path first for every slot, so that two microscopes sharing
    // a serial each keep their own slot.
    for (size_t s = 0; s < kSlotCount; ++s) {
        for (size_t d = 0; d < kDeviceListSize && !matched[s] && slots[s].modelIndex >= 0; ++d) {
            if (!taken[d] && found[d].modelIndex >= 0 && found[d].devicePath == slots[s].devicePath)
                bind(s, d);
        }
    }
    for (size_t s = 0; s < kSlotCount; ++s) {
        for (size_t d = 0; d < kDeviceListSize && !matched[s] && slots[s].modelIndex >= 0; ++d) {
            if (!taken[d] && found[d].modelIndex >= 0
                && deviceIdentity(found[d].devicePath) == deviceIdentity(slots[s].devicePath))
                bind(s, d);
        }
    }
    for (size_t s = 0; s < kSlotCount; ++s) {
        if (!matched[s])
            slots[s].present = false;
    }
    for (size_t d = 0; d < kDeviceListSize; ++d) {
        if (taken[d] || found[d].modelIndex < 0)
            continue;
        size_t free = kSlotCount;
        for (size_t s = 0; s < kSlotCount && free == kSlotCount; ++s) {
            if (slots[s].modelIndex < 0)
                free = s;
        }
        for (size_t s = 0; s < kSlotCount && free == kSlotCount; ++s) {
            if (!slots[s].present)
                free = s;
        }
        if (free == kSlotCount)
            break;
        bind(free, d);
    }
}

}  // namespace capture
