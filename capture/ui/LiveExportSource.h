#pragma once

#include "measure/ui/ExportSource.h"

namespace capture {

class CDeviceView;

// The export dialog's source for a live window: the slot's live
// measurements, shown, hidden and relabelled in the window's list, exported
// by the window with the workbook picture's request (a still picture for the
// workbook, then the workbook).
measure::ExportSource exportSource(CDeviceView& view);

// Whether switch `selector` (2 name ... 9 unit) governs a label line of a
// live record of `kind`: name, diameter and unit on every record, the
// others on the kinds that show them.
bool liveLabelApplies(int selector, int kind);

}  // namespace capture
