#pragma once

#include "geometry.h"
#include "measure_state.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

#include "shape_drawing.h"

class QPainter;

namespace measure {

// Shape kinds, as the tools number them.
enum ShapeKind : int {
    KindLine = 1,
    KindContinualLine = 2,
    KindDotLine = 3,
    KindPolygon = 4,
    KindRCircle = 5,
    KindCircle = 6,
    KindTPCircle = 7,
    KindArc = 8,
    KindTAngle = 9,
    KindFAngle = 10,
    KindTCircle = 11,
    KindText = 13,
};

// Which label line a show flag governs (selector - 2 of the show-flag toggle).
enum ShowFlag : int { ShowName, ShowLength, ShowRadius, ShowDiameter, ShowCircumference, ShowArea, ShowAngle, ShowUnit };

// Everything a shape needs to draw itself besides its own fields.
struct DrawContext {
    const MeasureState& settings;
    int penWidth = 1;
    double zoomX = 1;
    double zoomY = 1;
};

// A measurement drawn on a picture. Points are in picture pixels; values
// are measured in pixels (or degrees) and turned into the active unit at
// drawing time, so a change of calibration or unit shows at the next paint.
class CShape {
public:
    static constexpr int kMaxPoints = 11;

    virtual ~CShape() = default;

    // Draws the figure, and the labels once the shape is finished.
    virtual void Draw(QPainter& dc, const DrawContext& ctx);

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
    std::array<int, 8> show{1, 1, 1, 1, 1, 1, 1, 1};
    QRect bounds;
    std::array<double, 4> calibrated{};
    int inProgress = 1;
    int pointCount = 0;
    int pictureWidth = 640;
    int pictureHeight = 480;
    std::array<int, 11> kindSequence{};  // the name numbers, per kind 1 to 11
    int serial = -1;

    // The label lines of a finished shape, with the calibrated values
    // worked out from the current settings.
    virtual std::vector<LabelRow> labels(const MeasureState& settings);
    // The point the label block hangs from.
    virtual Point2d labelAnchor() const;

    // The number the name label shows.
    int sequenceNumber() const { return kind >= 1 && kind <= 11 ? kindSequence[static_cast<size_t>(kind - 1)] : 0; }

protected:
    CShape(int kind, int pointCount, const QColor& line, const QColor& text, const QString& textValue, QSize picture,
           const std::vector<QPoint>& pts);

    // Crosshairs at the first `count` points that are placed (while placing).
    void drawPlacementMarks(QPainter& dc, const DrawContext& ctx, int count) const;
    // Draws the label block when the shape is finished.
    void drawLabelBlock(QPainter& dc, const DrawContext& ctx);
    bool isSetAt(int i) const { return isSet(points[static_cast<size_t>(i)]); }
    const Point2d& pt(int i) const { return points[static_cast<size_t>(i)]; }
    // The set points from the start, up to the first unset one (at most `max`).
    std::vector<Point2d> leadingPoints(int max) const;
};

}  // namespace measure
