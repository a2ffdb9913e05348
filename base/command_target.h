#pragma once

namespace base {

// What a command looks like at the moment: greyed or not, checked or not.
struct CommandState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

// A window that answers commands of the menus and the toolbar (the picture
// view, the live views). The active one is asked first; the main window
// answers the rest.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual bool handlesCommand(int id) const = 0;
    // Called only for commands it handles; leaves `state` enabled by default.
    virtual void updateCommand(int id, CommandState& state) const
    {
        (void)id;
        (void)state;
    }
    virtual void runCommand(int id) = 0;
    // The measurement settings or the calibration changed: what is shown and
    // what the next snapshot burns in must follow at once.
    virtual void measureSettingsChanged() {}
};

}  // namespace base
