#pragma once

#include <QString>

namespace measure {

class ShapePlacement;

// What the next click of the tool in use does, for the status bar: which
// point it sets, that it places the label, or how a polyline ends. Empty
// without a measuring tool.
QString nextClickHint(const ShapePlacement& placement);

// Told when choosing another tool drops a measurement not yet finished.
QString droppedMeasurementText();

}  // namespace measure
