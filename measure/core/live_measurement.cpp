#include "live_measurement.h"

#include "shapes.h"

#include <QPainter>

#include <algorithm>

namespace measure {

namespace {

Point2d asPoint(QPoint p)
{
    return {double(p.x()), double(p.y())};
}

}  // namespace

void LiveMeasurement::setTool(int toolCode)
{
    m_placement.setTool(toolCode);
}

LiveMeasurement::Click LiveMeasurement::leftClick(QPoint frame)
{
    if (!m_placement.leftDown(frame))
        return Click::Ignored;
    if (tool() == ToolText)
        return m_placement.clicks() == 1 ? Click::OpenText : Click::Finished;
    return m_placement.leftUp() ? Click::Finished : (m_placement.placing() ? Click::Taken : Click::Ignored);
}

bool LiveMeasurement::rightClick(QPoint frame)
{
    if (tool() == ToolContinualLine && m_placement.clicks() >= 2 && m_placement.clicks() < 10) {
        // The right click places the last vertex where it is.
        if (!m_placement.leftDown(frame))
            return false;
    }
    return m_placement.rightDown(frame);
}

double LiveMeasurement::lineLength() const
{
    const auto& q = m_placement.points();
    return distance(asPoint(q[0]), asPoint(q[1]));
}

QLineF LiveMeasurement::line() const
{
    const auto& q = m_placement.points();
    return {QPointF(q[0]), QPointF(q[1])};
}

Figure LiveMeasurement::inProgressFigure(const MeasureState& m) const
{
    Figure f;
    f.kind = kindOfTool(tool());
    f.lineColour = m.colour;
    f.textColour = m.colour;
    f.inProgress = true;
    const auto& q = m_placement.points();
    for (size_t i = 0; i < q.size() && i < f.points.size(); ++i)
        f.points[i] = asPoint(q[i]);
    return f;
}

std::unique_ptr<CShape> LiveMeasurement::takeRecord(const MeasureState& m, const QString& text)
{
    const Figure f = inProgressFigure(m);
    if (f.kind == 0)
        return nullptr;
    auto r = std::make_unique<CShape>();
    r->kind = f.kind;
    r->live = true;
    r->inProgress = 0;
    r->fontHeight = m.fontSize;
    r->lineColour = m.colour;
    r->textColour = m.colour;
    r->lineWidth = m.lineWidth;
    // The vertices and the label anchor; not where the mouse went after.
    const auto vertices = f.vertices();
    std::copy(vertices.begin(), vertices.end(), r->points.begin());
    if (const int slot = labelSlot(f.kind); slot >= 0)
        r->points[static_cast<size_t>(slot)] = f.anchor();
    else
        r->text = text;
    r->remeasure();
    m_placement.reset();
    return r;
}

void LiveMeasurement::drawInProgress(QPainter& p, const ImageMapping& map, const MeasureState& m, QSize frame) const
{
    if (!inProgress() || tool() == ToolText)
        return;
    Figure f = inProgressFigure(m);
    f.picture = frame;
    p.save();
    p.translate(-map.scroll);
    // No name yet: its number is known when the record is taken.
    paintFigure(p, f, DrawContext{m, m.lineWidth, map.zoomX, map.zoomY, {}, frame}, 0, ShowFlags{0, 1, 1, 1, 1, 1, 1, 1});
    p.restore();
}

}  // namespace measure
