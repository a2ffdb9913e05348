#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// A picture control as a camera offers it, under its V4L2 control id. The
// record owns its name, so a list of controls outlives the source it came from.
struct CameraControl {
    uint32_t id = 0;
    std::string name;
    int32_t minimum = 0, maximum = 0, step = 1, defaultValue = 0;
    int32_t value = 0;
    // A switch (on or off) rather than a range, such as an automatic mode.
    bool isSwitch = false;
    // V4L2_CTRL_FLAG_* bits the camera reports, such as inactive while its
    // automatic mode is on.
    uint32_t flags = 0;
    // For a control that offers a list (power-line frequency, exposure
    // mode): the values it takes and their names; empty for a range.
    struct Choice {
        int32_t value = 0;
        std::string name;
    };
    std::vector<Choice> choices;
};

// The control of `id` in a list of them, or nullptr.
template <typename Controls>
auto findControl(Controls& controls, uint32_t id) -> decltype(&*controls.begin())
{
    for (auto& c : controls) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

}  // namespace capture
