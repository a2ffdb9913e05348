#pragma once

#include "measurement.h"

#include <QColor>
#include <QSize>
#include <QString>

#include <array>
#include <span>

class QPainter;

namespace measure {

// Everything a measurement needs to be drawn besides itself.
struct DrawContext {
    const MeasureState& settings;
    int penWidth = 1;
    double zoomX = 1;
    double zoomY = 1;
    QSize across{};  // when set, what extension lines cross instead of the picture
    QSize frame{};   // when set, the picture labels stay inside instead of the figure's
};

// A measurement as it is drawn: its points in the slots the tools place them
// in (picture pixels, 0 where not placed yet; the label anchor in its own
// slot), colours and the picture size the extension lines run across.
struct Figure {
    static constexpr int kSlots = 11;

    int kind = 0;
    std::array<Point2d, kSlots> points{};
    bool inProgress = false;
    QColor lineColour = QColor(0xFF, 0, 0);
    QColor textColour = QColor(0, 0xFF, 0);
    QSize picture{640, 480};
    QString text;  // Add Text only

    // The vertices the values are measured from (the polyline and polygon
    // up to the first unplaced point).
    std::span<const Point2d> vertices() const;
    MeasuredValues measured() const { return measureVertices(kind, vertices()); }
    // The point the label block hangs from.
    const Point2d& anchor() const;
};

// Draws the figure at the context's zoom (origin at the picture's top-left
// corner) and, once it is finished, its label block: the readings worked out
// from the figure's points and the current calibration, the name with
// `number`. Leaves the painter as it found it.
void paintFigure(QPainter& p, const Figure& figure, const DrawContext& ctx, int number, const ShowFlags& show);

}  // namespace measure
