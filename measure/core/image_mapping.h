#pragma once

#include "geometry.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace measure {

// How a zoomed, scrolled view shows a picture: a view position is the
// picture position times the zoom of its axis, less the scroll offset. Picture
// and live windows map clicks and drawings through this one place, so the
// same clicks measure the same pixels in both.
struct ImageMapping {
    double zoomX = 1;
    double zoomY = 1;
    QPointF scroll;

    // The picture pixel under a view position: (view + scroll) / zoom, rounded.
    QPoint mapToImage(QPoint view) const
    {
        return {static_cast<int>((view.x() + scroll.x()) / zoomX + 0.5), static_cast<int>((view.y() + scroll.y()) / zoomY + 0.5)};
    }
    // Where a picture position shows in the view.
    QPointF mapToView(const Point2d& image) const { return {image.x * zoomX - scroll.x(), image.y * zoomY - scroll.y()}; }
    // The view rectangle a picture rectangle covers.
    QRectF mapToView(const QRectF& image) const
    {
        return {mapToView(Point2d{image.left(), image.top()}), mapToView(Point2d{image.right(), image.bottom()})};
    }
};

// A picture as a view shows it: the tools that place shapes on it read the
// view's own mapping, so no copy of its zoom or scroll can fall behind.
class ShownImage {
public:
    virtual ~ShownImage() = default;
    virtual ImageMapping mapping() const = 0;
    // The picture's size in picture pixels.
    virtual QSize imageSize() const = 0;
    // The part of the view the picture covers.
    virtual QRect imageArea() const = 0;
};

}  // namespace measure
