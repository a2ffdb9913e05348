#include "shape_placement.h"

#include <algorithm>

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
    const KindInfo* k = toolInfo(m_tool);
    return k ? k->slots : 0;
}

bool ShapePlacement::leftDown(QPoint p)
{
    if (m_tool == ToolNone || m_clicks >= finalClicks())
        return false;
    // The vertices of an arc, an angle and a point to line differ.
    const auto placed = m_points.begin() + m_clicks;
    if (toolInfo(m_tool)->refusesRepeat && m_clicks < 3 && std::find(m_points.begin(), placed, p) != placed)
        return false;
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

bool ShapePlacement::waitsForLabel() const
{
    const int slot = labelSlot(kindOfTool(m_tool));
    return slot >= 0 && m_clicks == (isPolyTool() ? kMaxVertices : slot);
}

void ShapePlacement::mouseMove(QPoint p)
{
    if (waitsForLabel()) {
        m_points[static_cast<size_t>(labelSlot(kindOfTool(m_tool)))] = p;
        return;
    }
    const KindInfo* k = toolInfo(m_tool);
    if (k && (k->follows >> m_clicks & 1u))
        m_points[static_cast<size_t>(m_clicks)] = p;
}

bool ShapePlacement::leftUp()
{
    const KindInfo* k = toolInfo(m_tool);
    if (!k || m_tool == ToolText || m_clicks != k->slots)
        return false;
    const auto& q = m_points;
    const auto allDiffer = [&q](size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (std::find(q.begin() + std::ptrdiff_t(i) + 1, q.begin() + std::ptrdiff_t(n), q[i])
                != q.begin() + std::ptrdiff_t(n))
                return false;
        }
        return true;
    };
    bool complete = true;
    switch (k->distinct) {
    case Distinct::Unchecked: break;
    case Distinct::FirstTwo: complete = allDiffer(2); break;
    case Distinct::FirstThree: complete = allDiffer(3); break;
    case Distinct::FirstFour: complete = allDiffer(4); break;
    case Distinct::TwoPairs: complete = q[1] != q[0] && q[3] != q[2]; break;
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
