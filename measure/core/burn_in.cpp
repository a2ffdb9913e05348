#include "burn_in.h"

#include "shape_list.h"

#include <QPainter>

namespace measure {

void paintBurnIn(QPainter& p, const BurnIn& what, const MeasureState& settings)
{
    if (what.shapes)
        what.shapes->drawAll(p, DrawContext{settings, settings.lineWidth, what.scaleX, what.scaleY});
    if (what.records && !what.records->empty())
        drawVideoShapes(p, *what.records, what.scaleX, what.scaleY, QPoint(0, 0), settings);
    if (what.overlay && what.overlay->mode != OverlayNone) {
        OverlayParams o = *what.overlay;
        // Drawn once: no label or pens kept from a live picture's frames.
        o.labelImage = nullptr;
        o.colouredPen = o.whitePen = nullptr;
        o.scrollX = o.scrollY = 0;  // picture coordinates
        paintOverlay(p, o);
    }
}

QImage burntIn(const QImage& picture, const BurnIn& what, const MeasureState& settings)
{
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    paintBurnIn(p, what, settings);
    return out;
}

}  // namespace measure
