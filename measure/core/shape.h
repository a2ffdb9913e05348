#pragma once

#include "figure_painter.h"
#include "measurement.h"

#include <QColor>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace measure {

// A measurement on a picture or on a live picture. Points are in picture
// (frame) pixels, in the slots the tools place them, the label anchor in its
// own; values are measured in pixels (or degrees) by measureVertices() and
// turned into the active unit at drawing time, so a change of calibration
// or unit shows at the next paint. What differs between the kinds is in
// their table (kind_table).
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
    // A live window's record keeps a diameter circle's diameter and circle
    // to circle's centre distance as value 1, is drawn with its own line
    // width and label font, and counts among the names of its kind only
    // while it and its name show.
    bool live = false;
    int fontHeight = 14;

    // The shape as the painter draws it.
    Figure figure() const;
    // What the shape measures now, from its points.
    MeasuredValues measured() const { return figure().measured(); }
    // Value 1 to 3 from the points, as the kind's table gives them.
    void remeasure();
    bool countsInNames() const { return !live || (visible && show[ShowName]); }
    // Draws the figure, and once the shape is finished its labels, its name
    // with `number` (its place among the shapes of its kind).
    void Draw(QPainter& dc, const DrawContext& ctx, int number = 0) const;
    // The label lines of a finished shape, with the calibrated values
    // worked out from the current settings, its name with `number`.
    std::vector<LabelRow> labels(const MeasureState& settings, int number = 0) const;
};

// Draws the shapes in list order, each named by its place among the shapes
// of its kind before it that count (CShape::countsInNames).
void drawShapes(QPainter& p, std::span<const std::unique_ptr<CShape>> shapes, const DrawContext& ctx);

}  // namespace measure
