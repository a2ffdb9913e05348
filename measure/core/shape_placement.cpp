#include "shape_placement.h"

namespace measure {

namespace {

constexpr int kLabelSlot = 10;  // a polyline's or polygon's label point
constexpr int kMaxVertices = 10;

}  // namespace

void ShapePlacement::setTool(int toolCode)
{
    m_tool = toolCode;
    reset();
}

void ShapePlacement::reset()
{
    m_clicks = 0;
    m_points.fill(QPoint());
}

int ShapePlacement::finalClicks() const
{
    switch (m_tool) {
    case ToolLine:
    case ToolRCircle:
    case ToolCircle: return 3;
    case ToolArc:
    case ToolTAngle:
    case ToolDotLine:
    case ToolTPCircle: return 4;
    case ToolFAngle:
    case ToolTCircle: return 5;
    case ToolContinualLine:
    case ToolPolygon: return kSlots;
    case ToolText: return 2;
    default: return 0;
    }
}

bool ShapePlacement::leftDown(QPoint p)
{
    if (m_tool == ToolNone || m_clicks >= finalClicks())
        return false;
    if (m_tool == ToolArc || m_tool == ToolTAngle || m_tool == ToolDotLine) {
        if (m_clicks == 1 && p == m_points[0])
            return false;
        if (m_clicks == 2 && (p == m_points[0] || p == m_points[1]))
            return false;
    }
    if (isPolyTool() && m_clicks == kMaxVertices) {
        m_points[kLabelSlot] = p;
        m_clicks = kSlots;
        return true;
    }
    m_points[static_cast<size_t>(m_clicks)] = p;
    ++m_clicks;
    return true;
}

bool ShapePlacement::rightDown(QPoint)
{
    if (!isPolyTool() || m_clicks < 3 || m_clicks >= kMaxVertices)
        return false;
    // The point that followed the mouse is no vertex.
    for (int i = m_clicks; i < kMaxVertices; ++i)
        m_points[static_cast<size_t>(i)] = QPoint();
    m_clicks = kMaxVertices;
    return true;
}

void ShapePlacement::mouseMove(QPoint p)
{
    const int n = m_clicks;
    bool follows = false;
    switch (m_tool) {
    case ToolLine:
    case ToolRCircle:
    case ToolCircle: follows = n == 1; break;
    case ToolArc:
    case ToolTAngle:
    case ToolDotLine: follows = n == 1 || n == 2; break;
    case ToolContinualLine:
    case ToolPolygon: follows = n >= 1 && n <= 9; break;
    case ToolFAngle:
    case ToolTCircle: follows = n == 1 || n == 3; break;
    case ToolTPCircle: follows = n == 2; break;
    default: break;
    }
    if (follows)
        m_points[static_cast<size_t>(n)] = p;
}

bool ShapePlacement::leftUp()
{
    const int last = finalClicks();
    if (m_tool == ToolNone || m_tool == ToolText || m_clicks != last)
        return false;
    const auto& q = m_points;
    bool complete = false;
    switch (m_tool) {
    case ToolLine:
    case ToolRCircle:
    case ToolCircle: complete = q[1] != q[0]; break;
    case ToolArc:
    case ToolTAngle:
    case ToolDotLine:
    case ToolTPCircle: complete = q[1] != q[0] && q[2] != q[1] && q[2] != q[0]; break;
    case ToolFAngle:
        complete = q[0] != q[1] && q[0] != q[2] && q[0] != q[3] && q[1] != q[2] && q[1] != q[3] && q[2] != q[3];
        break;
    case ToolTCircle: complete = q[1] != q[0] && q[3] != q[2]; break;
    case ToolContinualLine:
    case ToolPolygon: complete = true; break;
    default: break;
    }
    if (!complete)
        reset();  // nothing sensible can follow; the user starts over
    return complete;
}

std::unique_ptr<CShape> ShapePlacement::build(const QColor& line, const QColor& text, const QString& s, QSize picture,
                                              double zoomX, double zoomY) const
{
    return makeShape(m_tool, line, text, s, picture, std::vector<QPoint>(m_points.begin(), m_points.end()), zoomX, zoomY);
}

}  // namespace measure
