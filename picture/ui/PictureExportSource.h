#pragma once

#include "measure/ui/ExportSource.h"

namespace picture {

class CScoparaView;

// The export dialog's source for a picture window: its shapes, shown or
// hidden and relabelled through the window's tool host, exported by the
// window itself.
measure::ExportSource exportSource(CScoparaView& view);

}  // namespace picture
