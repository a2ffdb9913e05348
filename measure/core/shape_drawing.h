#pragma once

#include "geometry.h"
#include "kind_table.h"

#include <QColor>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

namespace measure {

struct MeasureState;

// Drawing helpers shared by the picture shapes and the live records: the
// same rounding, marks, arrowheads, extension lines and label blocks.

// (x * zoom + 0.5) truncated, per axis.
QPoint toDrawing(const Point2d& p, double zoomX, double zoomY);

// The box of a circle (centre, radius in picture pixels) in drawing coordinates.
QRectF circleBox(const Point2d& centre, double radius, double zoomX, double zoomY);

// A horizontal and a vertical stroke of 20 pixels around a point.
void drawCrosshair(QPainter& p, QPoint at);

// Two strokes of 20 pixels at end `tip` of the segment tip-other, and with
// `endBar` a stroke across the segment there.
void drawArrowhead(QPainter& p, QPoint tip, QPoint other, bool endBar);

// A segment with arrowheads at both ends.
void drawMeasuredSegment(QPainter& p, QPoint a, QPoint b, bool endBars);

// The line through a and b across the whole picture, pixel by pixel, two
// pixels thick.
void drawExtensionLine(QPainter& p, QPoint a, QPoint b, int pictureWidth, int pictureHeight, const QColor& colour);

// A label block: row k at anchor + k font heights, drawn when shown, and
// moved in from the edges as far as needed to stay whole inside `inside`
// (the picture, in drawing coordinates).
struct LabelRow {
    int row;
    bool shown;
    QString text;
};
void drawLabels(QPainter& p, const Point2d& anchor, double zoomX, double zoomY, int fontSize, const QColor& colour,
                const std::vector<LabelRow>& rows, QSize inside);

// Where a block of `block` size placed at `at` goes to stay whole inside
// `inside`; a block larger than the picture keeps its top-left corner in it.
QPoint keptInside(QPoint at, QSize block, QSize inside);

// "L:1.234mm", "A:1.234mm²", "<:30.000°", or without what follows the
// number when the unit is not shown.
QString labelValue(const char* prefix, double value, Quantity quantity, bool showUnit, const MeasureState& settings);

}  // namespace measure
