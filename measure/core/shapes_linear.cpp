// Line, continuous line, point to line, polygon and text.
#include "shape_drawing.h"
#include "shape_paint.h"
#include "shapes.h"

#include <QFontMetrics>

namespace measure {

namespace {

    // The segments through `pts` in order, closed back to the start if asked.
    void drawPath(QPainter& p, const std::vector<Point2d>& pts, const DrawContext& ctx, bool closed)
    {
        for (size_t i = 1; i < pts.size(); ++i)
            p.drawLine(toDrawing(pts[i - 1], ctx.zoomX, ctx.zoomY), toDrawing(pts[i], ctx.zoomX, ctx.zoomY));
        if (closed && pts.size() > 1)
            p.drawLine(toDrawing(pts.back(), ctx.zoomX, ctx.zoomY), toDrawing(pts.front(), ctx.zoomX, ctx.zoomY));
    }

    QString nameOf(const char* prefix, int number)
    {
        return QLatin1String(prefix) + QString::number(number);
    }

} // namespace

CLine::CLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindLine, 3, line, text, s, picture, pts)
{
    value1 = distance(pt(0), pt(1));
}

void CLine::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        if (isSetAt(1))
            drawMeasuredSegment(dc, toDrawing(pt(0), ctx.zoomX, ctx.zoomY), toDrawing(pt(1), ctx.zoomX, ctx.zoomY), true);
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CLine::labels(const MeasureState& st)
{
    calibrated[0] = value1 * unitsPerPixel(st);
    return { { 0, show[ShowName] != 0, nameOf("DL", sequenceNumber()) },
        { 1, show[ShowLength] != 0, labelValue("L:", calibrated[0], Quantity::Length, show[ShowUnit], st) } };
}

CContinualLine::CContinualLine(
    const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindContinualLine, 11, line, text, s, picture, pts)
{
    value1 = pathLength(leadingPoints(10), false);
}

void CContinualLine::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    const std::vector<Point2d> vertices = leadingPoints(10);
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        drawPath(dc, vertices, ctx, false);
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CContinualLine::labels(const MeasureState& st)
{
    value1 = pathLength(leadingPoints(10), false);
    calibrated[0] = value1 * unitsPerPixel(st);
    return { { 0, show[ShowName] != 0, nameOf("ML", sequenceNumber()) },
        { 1, show[ShowLength] != 0, labelValue("L:", calibrated[0], Quantity::Length, show[ShowUnit], st) } };
}

CDotLine::CDotLine(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindDotLine, 4, line, text, s, picture, pts)
{
    value1 = distance(pt(0), perpendicularFoot(pt(0), pt(1), pt(2)));
}

void CDotLine::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        if (inProgress)
            drawPlacementMarks(dc, ctx, 3);
        if (isSetAt(0) && isSetAt(1) && isSetAt(2)) {
            const QPoint a = toDrawing(pt(1), ctx.zoomX, ctx.zoomY);
            const QPoint b = toDrawing(pt(2), ctx.zoomX, ctx.zoomY);
            drawExtensionLine(
                dc, a, b, static_cast<int>(pictureWidth * ctx.zoomX), static_cast<int>(pictureHeight * ctx.zoomY), lineColour);
            const Point2d foot = perpendicularFoot(pt(0), pt(1), pt(2));
            drawMeasuredSegment(dc, toDrawing(pt(0), ctx.zoomX, ctx.zoomY), toDrawing(foot, ctx.zoomX, ctx.zoomY), !inProgress);
        }
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CDotLine::labels(const MeasureState& st)
{
    calibrated[0] = value1 * unitsPerPixel(st);
    return { { 0, show[ShowName] != 0, nameOf("PL", sequenceNumber()) },
        { 1, show[ShowLength] != 0, labelValue("L:", calibrated[0], Quantity::Length, show[ShowUnit], st) } };
}

CPolygon::CPolygon(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindPolygon, 11, line, text, s, picture, pts)
{
    const std::vector<Point2d> vertices = leadingPoints(10);
    value1 = pathLength(vertices, true);
    value2 = shoelaceArea(vertices);
}

void CPolygon::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    const std::vector<Point2d> vertices = leadingPoints(10);
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        drawPath(dc, vertices, ctx, true);
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CPolygon::labels(const MeasureState& st)
{
    const std::vector<Point2d> vertices = leadingPoints(10);
    value1 = pathLength(vertices, true);
    value2 = shoelaceArea(vertices);
    const double s = unitsPerPixel(st);
    calibrated[0] = value1 * s;
    calibrated[1] = value2 * s * s;
    return { { 0, show[ShowName] != 0, nameOf("PG", sequenceNumber()) },
        { 1, show[ShowCircumference] != 0, labelValue("C:", calibrated[0], Quantity::Length, show[ShowUnit], st) },
        { 2, show[ShowArea] != 0, labelValue("A:", calibrated[1], Quantity::Area, show[ShowUnit], st) } };
}

CText::CText(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindText, 2, line, text, s, picture, pts)
{
}

void CText::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible || !isSetAt(0))
        return;
    dc.save();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, ctx.settings.fontSize));
    dc.setFont(font);
    dc.setPen(textColour);
    const QFontMetrics metrics(font);
    const QPoint at = toDrawing(pt(0), ctx.zoomX, ctx.zoomY);
    int y = at.y();
    for (const QString& line : text.split(QLatin1Char('_'))) {
        dc.drawText(at.x(), y + metrics.ascent(), line);
        y += metrics.height() + 1;
    }
    dc.restore();
}

} // namespace measure
