// The one drawing of every measurement kind, for picture and live windows.
#include "figure_painter.h"

#include "shape_paint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

QPoint at(const Point2d& p, const DrawContext& ctx)
{
    return toDrawing(p, ctx.zoomX, ctx.zoomY);
}

QRectF boxAround(const Point2d& centre, double r, const DrawContext& ctx)
{
    return circleBox(centre, r, ctx.zoomX, ctx.zoomY);
}

double screenAngle(const Point2d& centre, const Point2d& p)
{
    return std::atan2(-(p.y - centre.y), p.x - centre.x) * 180.0 / kDegreePi;
}

// The segments through the points in order, closed back to the start if asked.
void drawPath(QPainter& p, std::span<const Point2d> pts, const DrawContext& ctx, bool closed)
{
    for (size_t i = 1; i < pts.size(); ++i)
        p.drawLine(at(pts[i - 1], ctx), at(pts[i], ctx));
    if (closed && pts.size() > 1)
        p.drawLine(at(pts.back(), ctx), at(pts.front(), ctx));
}

// Crosshairs at the first `count` points that are placed (while placing).
void drawPlacementMarks(QPainter& p, const Figure& f, const DrawContext& ctx, int count)
{
    for (int i = 0; i < count; ++i) {
        if (isSet(f.points[static_cast<size_t>(i)]))
            drawCrosshair(p, at(f.points[static_cast<size_t>(i)], ctx));
    }
}

void drawExtension(QPainter& p, const Figure& f, const DrawContext& ctx, const Point2d& a, const Point2d& b)
{
    drawExtensionLine(p, at(a, ctx), at(b, ctx), static_cast<int>(f.picture.width() * ctx.zoomX),
                      static_cast<int>(f.picture.height() * ctx.zoomY), f.lineColour);
}

// The figure of each kind; false when nothing measurable was drawn (no
// label then).
bool drawShape(QPainter& p, const Figure& f, const MeasuredValues& m, const DrawContext& ctx)
{
    const auto& pt = f.points;
    const auto set = [&](size_t i) { return isSet(pt[i]); };
    switch (f.kind) {
    case KindLine:
        if (set(1))
            drawMeasuredSegment(p, at(pt[0], ctx), at(pt[1], ctx), true);
        return true;
    case KindContinualLine:
    case KindPolygon: drawPath(p, f.vertices(), ctx, f.kind == KindPolygon); return true;
    case KindDotLine:
        if (f.inProgress)
            drawPlacementMarks(p, f, ctx, 3);
        if (set(0) && set(1) && set(2)) {
            drawExtension(p, f, ctx, pt[1], pt[2]);
            const Point2d foot = perpendicularFoot(pt[0], pt[1], pt[2]);
            drawMeasuredSegment(p, at(pt[0], ctx), at(foot, ctx), !f.inProgress);
        }
        return true;
    case KindRCircle:
    case KindCircle:
        if (!set(1))
            return false;
        p.drawLine(at(pt[0], ctx), at(pt[1], ctx));
        p.drawEllipse(boxAround(m.centre, m.radius, ctx));
        return true;
    case KindTPCircle:
        if (f.inProgress)
            drawPlacementMarks(p, f, ctx, 3);
        if (set(0) && set(1) && set(2) && m.exists)
            p.drawEllipse(boxAround(m.centre, m.radius, ctx));
        return true;
    case KindArc: {
        if (f.inProgress && !set(2)) {
            if (set(0))
                drawCrosshair(p, at(pt[0], ctx));
            if (set(1))
                drawCrosshair(p, at(pt[1], ctx));
        }
        if (!(set(0) && set(1) && set(2)) || !m.exists)
            return false;
        const Point2d& from = arcRunsFromFirstEnd(pt[0], pt[1], pt[2]) ? pt[0] : pt[1];
        p.drawArc(boxAround(m.centre, m.radius, ctx), qRound(screenAngle(m.centre, from) * 16), qRound(m.angle * 16));
        p.drawLine(at(m.centre, ctx), at(pt[0], ctx));
        p.drawLine(at(m.centre, ctx), at(pt[1], ctx));
        return true;
    }
    case KindTAngle:
        if (!set(2)) {
            drawPlacementMarks(p, f, ctx, 2);
        } else {
            p.drawLine(at(pt[0], ctx), at(pt[2], ctx));
            p.drawLine(at(pt[1], ctx), at(pt[2], ctx));
        }
        return true;
    case KindFAngle:
        for (size_t i = 0; i < 3; ++i) {
            if (set(i) && !set(i + 1))
                drawCrosshair(p, at(pt[i], ctx));
        }
        if (set(0) && set(1))
            drawExtension(p, f, ctx, pt[0], pt[1]);
        if (set(2) && set(3))
            drawExtension(p, f, ctx, pt[2], pt[3]);
        return true;
    case KindTCircle:
        if (set(0) && set(1))
            p.drawEllipse(boxAround(m.centre, m.radius, ctx));
        if (set(2) && set(3))
            p.drawEllipse(boxAround(m.centre2, m.radius2, ctx));
        if (!f.inProgress)
            p.drawLine(at(m.centre, ctx), at(m.centre2, ctx));
        return true;
    default: return false;
    }
}

// The picture a label stays whole inside, in drawing coordinates.
QSize labelArea(const Figure& f, const DrawContext& ctx)
{
    const QSize picture = ctx.frame.isEmpty() ? f.picture : ctx.frame;
    return QSize(static_cast<int>(picture.width() * ctx.zoomX), static_cast<int>(picture.height() * ctx.zoomY));
}

void drawText(QPainter& p, const Figure& f, const DrawContext& ctx)
{
    if (!isSet(f.points[0]))
        return;
    p.save();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, ctx.settings.fontSize));
    p.setFont(font);
    p.setPen(f.textColour);
    const QFontMetrics metrics(font);
    const QStringList lines = f.text.split(QLatin1Char('_'));
    QSize block(0, static_cast<int>(lines.size()) * (metrics.height() + 1));
    for (const QString& line : lines)
        block.setWidth(std::max(block.width(), metrics.horizontalAdvance(line)));
    const QPoint origin = keptInside(at(f.points[0], ctx), block, labelArea(f, ctx));
    int y = origin.y();
    for (const QString& line : lines) {
        p.drawText(origin.x(), y + metrics.ascent(), line);
        y += metrics.height() + 1;
    }
    p.restore();
}

}  // namespace

std::span<const Point2d> Figure::vertices() const
{
    const int count = vertexCount(kind);
    if (kind != KindContinualLine && kind != KindPolygon)
        return std::span<const Point2d>(points.data(), static_cast<size_t>(count));
    size_t placed = 0;
    while (placed < static_cast<size_t>(count) && isSet(points[placed]))
        ++placed;
    return std::span<const Point2d>(points.data(), placed);
}

const Point2d& Figure::anchor() const
{
    const int slot = labelSlot(kind);
    return points[static_cast<size_t>(slot < 0 ? 0 : slot)];
}

void paintFigure(QPainter& p, const Figure& f, const DrawContext& ctx, int number, const ShowFlags& show)
{
    if (f.kind == KindText) {
        drawText(p, f, ctx);
        return;
    }
    const MeasuredValues m = f.measured();
    bool drawn = false;
    {
        PenScope pen(p, f.lineColour, ctx.penWidth);
        drawn = drawShape(p, f, m, ctx);
    }
    // A figure being placed shows its label once the label follows the mouse.
    if (!drawn || (f.inProgress && !isSet(f.anchor())))
        return;
    const Readings readings = readingsOf(f.kind, m, unitsPerPixel(ctx.settings));
    drawLabels(p, f.anchor(), ctx.zoomX, ctx.zoomY, ctx.settings.fontSize, f.textColour,
               labelRows(f.kind, number, readings, show, ctx.settings), labelArea(f, ctx));
}

}  // namespace measure
