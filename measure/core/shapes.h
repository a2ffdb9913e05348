#pragma once

#include "shape.h"

#include <memory>

namespace measure {

// A finished-to-be shape of the tool's kind from the points placed so far
// (picture pixels, unplaced ones 0): its colours, the text (Add Text only),
// the picture size and its values. Its figure is worked out when it is
// drawn, at the zoom of that paint, whatever zoom it was made at.
std::unique_ptr<CShape> makeShape(int toolCode, const QColor& line, const QColor& text, const QString& s, QSize picture,
                                  const std::vector<QPoint>& pts, double zoomX, double zoomY);

}  // namespace measure
