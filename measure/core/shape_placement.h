#pragma once

#include "shapes.h"

#include <QPoint>

#include <array>
#include <memory>

namespace measure {

// The clicks that place one shape: which point the next click sets, where
// the point under the mouse goes while placing, and when the shape is
// complete. Positions are in picture pixels.
class ShapePlacement {
public:
    static constexpr int kSlots = CShape::kMaxPoints;

    void setTool(int toolCode);
    int tool() const { return m_tool; }
    // Forgets the clicks so far.
    void reset();

    int clicks() const { return m_clicks; }
    bool placing() const { return m_clicks > 0; }
    // Every vertex is placed; the next left click places the label, which
    // follows the mouse meanwhile.
    bool waitsForLabel() const;
    const std::array<QPoint, kSlots>& points() const { return m_points; }

    // A left click: stores the position into the next point. False when the
    // click was not taken (a repeated point, or nothing left to place).
    bool leftDown(QPoint p);
    // A right click ends a polyline or polygon of three or more vertices:
    // the next left click places its label.
    bool rightDown(QPoint p);
    // The point the next click will set, or the label, follows the mouse.
    void mouseMove(QPoint p);
    // Checked when the button is released: is the shape complete? A shape
    // whose points coincide at its last click is dropped, to start over.
    bool leftUp();

    // A shape of the tool from the points so far (unplaced points are 0).
    std::unique_ptr<CShape> build(const QColor& line, const QColor& text, const QString& s, QSize picture, double zoomX,
                                  double zoomY) const;

private:
    int finalClicks() const;
    bool isPolyTool() const { return finalClicks() == kSlots; }  // the polyline and polygon

    int m_tool = ToolNone;
    int m_clicks = 0;
    std::array<QPoint, kSlots> m_points{};
};

}  // namespace measure
