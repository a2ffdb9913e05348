#pragma once

#include "figure_painter.h"
#include "measurement.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <array>
#include <vector>

class QPainter;

namespace measure {

// A measurement drawn on a picture. Points are in picture pixels, in the
// slots the tools place them; values are measured in pixels (or degrees) by
// measureVertices() and turned into the active unit at drawing time, so a
// change of calibration or unit shows at the next paint. What differs
// between the kinds is in their table (kind_table).
struct CShape {
    static constexpr int kMaxPoints = Figure::kSlots;

    int kind = 0;
    QColor textColour = QColor(0, 0xFF, 0);
    QColor lineColour = QColor(0xFF, 0, 0);
    int lineWidth = 1;
    double value1 = 0;
    double value2 = 0;
    double value3 = 0;
    QString text;
    std::array<Point2d, kMaxPoints> points{};
    int visible = 1;
    ShowFlags show{1, 1, 1, 1, 1, 1, 1, 1};
    int inProgress = 1;
    int pictureWidth = 640;
    int pictureHeight = 480;
    int serial = -1;

    // The shape as the painter draws it.
    Figure figure() const;
    // What the shape measures now, from its points.
    MeasuredValues measured() const { return figure().measured(); }
    // Value 1 to 3 from the points: the length, radius or angle; the
    // polygon's area or the arc's angle; circle to circle's centre distance.
    void remeasure();
    // Draws the figure, and once the shape is finished its labels, its name
    // with `number` (its place among the shapes of its kind).
    void Draw(QPainter& dc, const DrawContext& ctx, int number = 0) const;
    // The label lines of a finished shape, with the calibrated values
    // worked out from the current settings, its name with `number`.
    std::vector<LabelRow> labels(const MeasureState& settings, int number = 0) const;
};

}  // namespace measure
