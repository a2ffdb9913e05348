#pragma once

#include "platform/registry.h"

#include <QString>

namespace shell {

// The "Restore Settings" reset: removes the program's whole registry tree
// (settings and stored window layout) and every file of the calibration
// folder, then tells the user to restart with `rebootText`. Nothing is
// reloaded: the defaults apply from the next start. The folder tree and
// savepath.ini stay.
void restoreSettings(platform::Registry& registry, const QString& calibrationFolder, const QString& rebootText);

}  // namespace shell
