// Radius, diameter and three-point circles, the arc and circle to circle.
#include "shape_drawing.h"
#include "shape_paint.h"
#include "shapes.h"

#include <cmath>

namespace measure {

namespace {

    QRectF boxAround(const Point2d& centre, double r, double zoomX, double zoomY)
    {
        return QRectF(
            QPointF((centre.x - r) * zoomX, (centre.y - r) * zoomY), QPointF((centre.x + r) * zoomX, (centre.y + r) * zoomY));
    }

    Point2d midpoint(const Point2d& a, const Point2d& b)
    {
        return { (a.x + b.x) / 2, (a.y + b.y) / 2 };
    }

    QString nameOf(const char* prefix, int number)
    {
        return QLatin1String(prefix) + QString::number(number);
    }

    // R, C and A rows of a circle of radius r (picture pixels).
    std::vector<LabelRow> circleRows(const char* name, int number, const char* first, double firstValue, int firstFlag,
        double circumference, double area, const std::array<int, 8>& show, const MeasureState& st)
    {
        return { { 0, show[ShowName] != 0, nameOf(name, number) },
            { 1, show[static_cast<size_t>(firstFlag)] != 0, labelValue(first, firstValue, Quantity::Length, show[ShowUnit], st) },
            { 2, show[ShowCircumference] != 0, labelValue("C:", circumference, Quantity::Length, show[ShowUnit], st) },
            { 3, show[ShowArea] != 0, labelValue("A:", area, Quantity::Area, show[ShowUnit], st) } };
    }

    double screenAngle(const Point2d& centre, const Point2d& p)
    {
        return std::atan2(-(p.y - centre.y), p.x - centre.x) * 180.0 / kDegreePi;
    }

} // namespace

CRCircle::CRCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
    double zoomX, double zoomY)
    : CShape(KindRCircle, 3, line, text, s, picture, pts)
{
    centre = pt(0);
    value1 = distance(pt(0), pt(1));
    box = boxAround(centre, value1, zoomX, zoomY);
}

void CRCircle::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible || !isSetAt(1))
        return;
    centre = pt(0);
    value1 = distance(pt(0), pt(1));
    box = boxAround(centre, value1, ctx.zoomX, ctx.zoomY);
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        dc.drawLine(toDrawing(pt(0), ctx.zoomX, ctx.zoomY), toDrawing(pt(1), ctx.zoomX, ctx.zoomY));
        dc.drawEllipse(box);
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CRCircle::labels(const MeasureState& st)
{
    const double r = value1 * unitsPerPixel(st);
    calibrated = { r, kTwoPi * r, kPi * r * r, 0 };
    return circleRows("RC", sequenceNumber(), "R:", calibrated[0], ShowRadius, calibrated[1], calibrated[2], show, st);
}

CCircle::CCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts,
    double zoomX, double zoomY)
    : CShape(KindCircle, 3, line, text, s, picture, pts)
{
    centre = midpoint(pt(0), pt(1));
    value1 = distance(centre, pt(0));
    box = boxAround(centre, value1, zoomX, zoomY);
}

void CCircle::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible || !isSetAt(1))
        return;
    centre = midpoint(pt(0), pt(1));
    value1 = distance(centre, pt(0));
    box = boxAround(centre, value1, ctx.zoomX, ctx.zoomY);
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        dc.drawLine(toDrawing(pt(0), ctx.zoomX, ctx.zoomY), toDrawing(pt(1), ctx.zoomX, ctx.zoomY));
        dc.drawEllipse(box);
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CCircle::labels(const MeasureState& st)
{
    const double d = 2 * value1 * unitsPerPixel(st);
    calibrated = { d, kPi * d, d * (kPi * d) * 0.25, 0 };
    return circleRows("DC", sequenceNumber(), "D:", calibrated[0], ShowDiameter, calibrated[1], calibrated[2], show, st);
}

CTPCircle::CTPCircle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindTPCircle, 4, line, text, s, picture, pts)
{
    if (const auto c = circleThrough(pt(0), pt(1), pt(2))) {
        centre = c->centre;
        value1 = c->radius;
    }
}

void CTPCircle::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        if (inProgress)
            drawPlacementMarks(dc, ctx, 3);
        value1 = 0;
        if (isSetAt(0) && isSetAt(1) && isSetAt(2)) {
            if (const auto c = circleThrough(pt(0), pt(1), pt(2))) {
                centre = c->centre;
                value1 = c->radius;
                box = boxAround(centre, value1, ctx.zoomX, ctx.zoomY).toRect();
                dc.drawEllipse(boxAround(centre, value1, ctx.zoomX, ctx.zoomY));
            }
        }
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CTPCircle::labels(const MeasureState& st)
{
    const double r = value1 * unitsPerPixel(st);
    calibrated = { r, kTwoPi * r, kPi * r * r, 0 };
    return circleRows("TC", sequenceNumber(), "R:", calibrated[0], ShowRadius, calibrated[1], calibrated[2], show, st);
}

CArc::CArc(
    const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts, double, double)
    : CShape(KindArc, 4, line, text, s, picture, pts)
{
    if (const auto c = arcCentre(pt(0), pt(1), pt(2))) {
        centre = *c;
        value1 = distance(centre, pt(0));
        value2 = arcSweep(centre, pt(0), pt(1), pt(2));
    }
}

void CArc::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    std::optional<Point2d> c;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        if (inProgress && !isSetAt(2)) {
            if (isSetAt(0))
                drawCrosshair(dc, toDrawing(pt(0), ctx.zoomX, ctx.zoomY));
            if (isSetAt(1))
                drawCrosshair(dc, toDrawing(pt(1), ctx.zoomX, ctx.zoomY));
        }
        if (isSetAt(0) && isSetAt(1) && isSetAt(2))
            c = arcCentre(pt(0), pt(1), pt(2));
        if (c) {
            centre = *c;
            value1 = distance(centre, pt(0));
            // The angle the drawn arc sweeps, so that its length and area
            // agree with the figure also beyond a half circle.
            value2 = arcSweep(centre, pt(0), pt(1), pt(2));
            const QRectF r = boxAround(centre, value1, ctx.zoomX, ctx.zoomY);
            box = r.toRect();
            const Point2d& from = arcRunsFromFirstEnd(pt(0), pt(1), pt(2)) ? pt(0) : pt(1);
            dc.drawArc(r, qRound(screenAngle(centre, from) * 16), qRound(value2 * 16));
            const QPoint cd = toDrawing(centre, ctx.zoomX, ctx.zoomY);
            dc.drawLine(cd, toDrawing(pt(0), ctx.zoomX, ctx.zoomY));
            dc.drawLine(cd, toDrawing(pt(1), ctx.zoomX, ctx.zoomY));
        }
    }
    if (!c)
        return;
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CArc::labels(const MeasureState& st)
{
    const double r = value1 * unitsPerPixel(st);
    calibrated = { r, value2, value2 / 360.0 * (kTwoPi * r), value2 / 360.0 * kPi * r * r };
    return { { 0, show[ShowName] != 0, nameOf("AR", sequenceNumber()) },
        { 1, show[ShowRadius] != 0, labelValue("R:", calibrated[0], Quantity::Length, show[ShowUnit], st) },
        { 2, show[ShowAngle] != 0, labelValue("<:", calibrated[1], Quantity::Angle, show[ShowUnit], st) },
        { 3, show[ShowCircumference] != 0, labelValue("C:", calibrated[2], Quantity::Length, show[ShowUnit], st) },
        { 4, show[ShowArea] != 0, labelValue("A:", calibrated[3], Quantity::Area, show[ShowUnit], st) } };
}

CTCircle::CTCircle(
    const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts, double, double)
    : CShape(KindTCircle, 5, line, text, s, picture, pts)
{
    centre1 = midpoint(pt(0), pt(1));
    centre2 = midpoint(pt(2), pt(3));
    value1 = distance(centre1, pt(0));
    value2 = distance(centre2, pt(2));
    value3 = distance(centre1, centre2);
}

void CTCircle::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        if (isSetAt(0) && isSetAt(1)) {
            centre1 = midpoint(pt(0), pt(1));
            value1 = distance(centre1, pt(0));
            const QRectF r = boxAround(centre1, value1, ctx.zoomX, ctx.zoomY);
            box1 = r.toRect();
            dc.drawEllipse(r);
        }
        if (isSetAt(2) && isSetAt(3)) {
            centre2 = midpoint(pt(2), pt(3));
            value2 = distance(centre2, pt(2));
            const QRectF r = boxAround(centre2, value2, ctx.zoomX, ctx.zoomY);
            box2 = r.toRect();
            dc.drawEllipse(r);
        }
        value3 = distance(centre1, centre2);
        if (!inProgress)
            dc.drawLine(toDrawing(centre1, ctx.zoomX, ctx.zoomY), toDrawing(centre2, ctx.zoomX, ctx.zoomY));
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CTCircle::labels(const MeasureState& st)
{
    const double s = unitsPerPixel(st);
    calibrated = { value1 * s, value2 * s, value3 * s, 0 };
    return { { 0, show[ShowName] != 0, nameOf("CC", sequenceNumber()) },
        { 1, show[ShowRadius] != 0, labelValue("R:", calibrated[0], Quantity::Length, show[ShowUnit], st) },
        { 2, show[ShowLength] != 0, labelValue("L:", calibrated[2], Quantity::Length, show[ShowUnit], st) },
        { 3, show[ShowRadius] != 0, labelValue("R:", calibrated[1], Quantity::Length, show[ShowUnit], st) } };
}

} // namespace measure
