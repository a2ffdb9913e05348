#include "live_measurement.h"

#include "geometry.h"
#include "shapes.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

constexpr size_t kLabelSlot = 10;  // the label of a polyline or polygon

Point2d asPoint(QPoint p)
{
    return {double(p.x()), double(p.y())};
}

// The placed vertices (up to the first unplaced slot) of a polyline or polygon.
std::vector<QPoint> placedVertices(const std::array<QPoint, ShapePlacement::kSlots>& q)
{
    std::vector<QPoint> out;
    for (size_t i = 0; i < kLabelSlot && !q[i].isNull(); ++i)
        out.push_back(q[i]);
    return out;
}

// Angle in degrees at `vertex` between the arms to a and b.
double angleAt(const Point2d& vertex, const Point2d& a, const Point2d& b)
{
    return angleBetweenLines(vertex, a, vertex, b);
}

// Angle in degrees between the radii from `centre` to a and b (0 to 180);
// opposite radii, as on a half circle, make 180.
double angleOfRadii(const Point2d& centre, const Point2d& a, const Point2d& b)
{
    const double ax = a.x - centre.x, ay = a.y - centre.y, bx = b.x - centre.x, by = b.y - centre.y;
    const double lengths = std::hypot(ax, ay) * std::hypot(bx, by);
    if (lengths == 0)
        return 0;
    return std::acos(std::clamp((ax * bx + ay * by) / lengths, -1.0, 1.0)) * 180.0 / M_PI;
}

}  // namespace

void LiveMeasurement::setTool(int toolCode)
{
    m_placement.setTool(toolCode);
}

LiveMeasurement::Click LiveMeasurement::leftClick(QPoint client)
{
    if (!m_placement.leftDown(client))
        return Click::Ignored;
    if (tool() == ToolText)
        return m_placement.clicks() == 1 ? Click::OpenText : Click::Finished;
    return m_placement.leftUp() ? Click::Finished : (m_placement.placing() ? Click::Taken : Click::Ignored);
}

bool LiveMeasurement::rightClick(QPoint client)
{
    if (tool() == ToolContinualLine && m_placement.clicks() >= 2 && m_placement.clicks() < 10) {
        // The right click places the last vertex where it is.
        if (!m_placement.leftDown(client))
            return false;
    }
    return m_placement.rightDown(client);
}

double LiveMeasurement::lineLength(const LiveMapping& map) const
{
    const auto& q = m_placement.points();
    return distance(map.toFrame(q[0]), map.toFrame(q[1]));
}

std::unique_ptr<CVideoShap> LiveMeasurement::takeRecord(const LiveMapping& map, const MeasureState& m, const QString& text)
{
    const auto& q = m_placement.points();
    auto r = std::make_unique<CVideoShap>();
    r->kind = kindOfTool(tool());
    r->fontHeight = m.fontSize;
    r->lineColour = m.colour;
    r->lineWidth = m.lineWidth;
    const auto f = [&](size_t i) { return map.toFrame(q[i]); };
    const auto w = [&](size_t i) { return asPoint(q[i]); };  // where it was clicked
    std::vector<Point2d> vertices;
    Point2d anchor;
    switch (tool()) {
    case ToolLine:
        vertices = {f(0), f(1)};
        anchor = f(2);
        r->value1 = distance(f(0), f(1));
        break;
    case ToolContinualLine:
    case ToolPolygon: {
        for (const QPoint& v : placedVertices(q))
            vertices.push_back(map.toFrame(v));
        anchor = f(kLabelSlot);
        const bool closed = tool() == ToolPolygon;
        r->value1 = pathLength(vertices, closed);
        if (closed)
            r->value2 = std::abs(shoelaceArea(vertices));
        break;
    }
    case ToolDotLine:
        vertices = {f(0), f(1), f(2)};
        anchor = f(3);
        r->value1 = distance(f(0), perpendicularFoot(f(0), f(1), f(2)));
        break;
    case ToolRCircle:
        vertices = {f(0), f(1)};
        anchor = f(2);
        r->value1 = distance(f(0), f(1));
        break;
    case ToolCircle:
        vertices = {f(0), f(1)};
        anchor = f(2);
        r->value1 = distance(f(0), f(1));
        r->centre1 = {(f(0).x + f(1).x) / 2, (f(0).y + f(1).y) / 2};
        break;
    case ToolTPCircle: {
        vertices = {f(0), f(1), f(2)};
        anchor = f(3);
        if (const auto c = circleThrough(w(0), w(1), w(2))) {
            r->value1 = c->radius / map.zoomX;
            r->centre1 = {(c->centre.x + map.scroll.x()) / map.zoomX, (c->centre.y + map.scroll.y()) / map.zoomY};
            r->radius1 = r->value1;
        }
        break;
    }
    case ToolArc: {
        vertices = {f(0), f(1), f(2)};
        anchor = f(3);
        if (const auto centre = arcCentre(f(0), f(1), f(2)))
            r->value1 = distance(*centre, f(0));
        if (const auto centre = arcCentre(w(0), w(1), w(2)))
            r->value2 = angleOfRadii(*centre, w(0), w(1));
        break;
    }
    case ToolTAngle:
        vertices = {f(0), f(1), f(2)};
        anchor = f(3);
        r->value1 = angleAt(w(2), w(0), w(1));
        break;
    case ToolFAngle:
        vertices = {f(0), f(1), f(2), f(3)};
        anchor = f(4);
        r->value1 = angleBetweenLines(w(0), w(1), w(2), w(3));
        break;
    case ToolTCircle:
        vertices = {f(0), f(1), f(2), f(3)};
        anchor = f(4);
        r->centre1 = {(f(0).x + f(1).x) / 2, (f(0).y + f(1).y) / 2};
        r->centre2 = {(f(2).x + f(3).x) / 2, (f(2).y + f(3).y) / 2};
        r->radius1 = distance(f(0), f(1)) / 2;
        r->radius2 = distance(f(2), f(3)) / 2;
        r->value1 = distance(r->centre1, r->centre2);
        break;
    case ToolText:
        vertices = {f(0)};
        r->text = text;
        break;
    default: return nullptr;
    }
    r->points = vertices;
    if (tool() != ToolText)
        r->points.push_back(anchor);
    m_placement.reset();
    return r;
}

void LiveMeasurement::drawInProgress(QPainter& p, const LiveMapping& map, const MeasureState& m) const
{
    if (!inProgress() || tool() == ToolText)
        return;
    auto shape = m_placement.build(m.colour, QColor(0, 255, 0), QString(), QSize(), 1, 1);
    if (!shape)
        return;
    const auto& q = m_placement.points();
    for (size_t i = 0; i < q.size(); ++i)
        shape->points[i] = q[i].isNull() ? Point2d{} : map.toFrame(q[i]);
    shape->inProgress = 1;
    p.save();
    p.translate(-map.scroll);
    shape->Draw(p, DrawContext{m, m.lineWidth, map.zoomX, map.zoomY});
    p.restore();
}

}  // namespace measure
