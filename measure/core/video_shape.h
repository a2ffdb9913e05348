#pragma once

#include "figure_painter.h"
#include "measurement.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QPainter;

namespace measure {

// One finished measurement on a live picture. Points are in frame pixels;
// the last point is where the label goes.
struct CVideoShap {
    int kind = 0;
    int fontHeight = 14;
    QColor textColour = QColor(0, 0xFF, 0);
    QColor lineColour = QColor(0xFF, 0, 0);
    int lineWidth = 1;
    double value1 = 0;  // length, radius, diameter (diameter circle) or angle; centre distance for circle to circle
    double value2 = 0;  // polygon area, arc angle
    double value3 = 0;
    QString text;
    std::vector<Point2d> points;
    // visible, then show name, length, radius, diameter, circumference, area, angle, unit
    std::array<int, 9> flags{1, 1, 1, 1, 1, 1, 1, 1, 1};
    Point2d centre1, centre2;
    double radius1 = 0, radius2 = 0;

    // The record as the painter draws it (the label anchor in its slot).
    Figure figure() const;
    // What the record measures, from its points.
    MeasuredValues measured() const { return figure().measured(); }
    // Value 1 to 3, the centres and radii from the points.
    void remeasure();
    ShowFlags showFlags() const;
};

using VideoShapeList = std::vector<std::unique_ptr<CVideoShap>>;

// Draws every visible record of a live slot with the figures, formulas and
// labels of the picture shapes: coordinates times the zoom, less the
// scroll offset. Names count per kind, from 0, the records whose name shows.
void drawVideoShapes(QPainter& p, const VideoShapeList& records, double zoomX, double zoomY, QPoint scrollOffset,
                     const MeasureState& settings);

}  // namespace measure
