#include "video_shape.h"

#include <QPainter>

#include <cmath>

namespace measure {

void drawVideoShapes(QPainter& p, const VideoShapeList& records, double zoomX, double zoomY, QPoint scrollOffset,
                     const MeasureState& settings, QSize frame)
{
    // Extension lines reach to the far edges of the visible part, in frame pixels.
    const QSize shown = p.device() ? QSize(p.device()->width(), p.device()->height()) : QSize(0, 0);
    const QSize across(static_cast<int>(std::ceil((shown.width() + scrollOffset.x()) / zoomX)),
                       static_cast<int>(std::ceil((shown.height() + scrollOffset.y()) / zoomY)));
    p.save();
    p.translate(-scrollOffset);
    drawShapes(p, records, DrawContext{settings, settings.lineWidth, zoomX, zoomY, across, frame.isEmpty() ? across : frame});
    p.restore();
}

}  // namespace measure
