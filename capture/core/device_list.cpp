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

}  // namespace capture
