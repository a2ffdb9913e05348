#pragma once

#include "shape.h"

#include <memory>
#include <vector>

class QPainter;

namespace measure {

// A live slot's measurements are shapes made live (CShape::live), owned by
// the slot's list.
using CVideoShap = CShape;
using VideoShapeList = std::vector<std::unique_ptr<CShape>>;

// Draws every visible record of a live slot: coordinates times the zoom,
// less the scroll offset; extension lines to the edges of the part shown,
// labels kept inside the `frame` (by default what the painter covers).
void drawVideoShapes(QPainter& p, const VideoShapeList& records, double zoomX, double zoomY, QPoint scrollOffset,
                     const MeasureState& settings, QSize frame = {});

}  // namespace measure
