// Three-point and four-point angles.
#include "shape_drawing.h"
#include "shape_paint.h"
#include "shapes.h"

namespace measure {

CTAngle::CTAngle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindTAngle, 4, line, text, s, picture, pts)
{
    value1 = angleBetweenLines(pt(2), pt(0), pt(2), pt(1));
}

void CTAngle::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        if (!isSetAt(2)) {
            drawPlacementMarks(dc, ctx, 2);
        } else {
            const QPoint vertex = toDrawing(pt(2), ctx.zoomX, ctx.zoomY);
            dc.drawLine(toDrawing(pt(0), ctx.zoomX, ctx.zoomY), vertex);
            dc.drawLine(toDrawing(pt(1), ctx.zoomX, ctx.zoomY), vertex);
        }
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CTAngle::labels(const MeasureState& st)
{
    calibrated[0] = value1;
    return { { 0, show[ShowName] != 0, QStringLiteral("TA%1").arg(sequenceNumber()) },
        { 1, show[ShowAngle] != 0, labelValue("<:", value1, Quantity::Angle, show[ShowUnit], st) } };
}

CFAngle::CFAngle(const QColor& line, const QColor& text, const QString& s, QSize picture, const std::vector<QPoint>& pts)
    : CShape(KindFAngle, 5, line, text, s, picture, pts)
{
    value1 = angleBetweenLines(pt(0), pt(1), pt(2), pt(3));
}

void CFAngle::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    {
        PenScope pen(dc, lineColour, ctx.penWidth);
        const int width = static_cast<int>(pictureWidth * ctx.zoomX);
        const int height = static_cast<int>(pictureHeight * ctx.zoomY);
        if (isSetAt(0) && !isSetAt(1))
            drawCrosshair(dc, toDrawing(pt(0), ctx.zoomX, ctx.zoomY));
        if (isSetAt(1) && !isSetAt(2))
            drawCrosshair(dc, toDrawing(pt(1), ctx.zoomX, ctx.zoomY));
        if (isSetAt(2) && !isSetAt(3))
            drawCrosshair(dc, toDrawing(pt(2), ctx.zoomX, ctx.zoomY));
        if (isSetAt(0) && isSetAt(1))
            drawExtensionLine(
                dc, toDrawing(pt(0), ctx.zoomX, ctx.zoomY), toDrawing(pt(1), ctx.zoomX, ctx.zoomY), width, height, lineColour);
        if (isSetAt(2) && isSetAt(3))
            drawExtensionLine(
                dc, toDrawing(pt(2), ctx.zoomX, ctx.zoomY), toDrawing(pt(3), ctx.zoomX, ctx.zoomY), width, height, lineColour);
    }
    drawLabelBlock(dc, ctx);
}

std::vector<LabelRow> CFAngle::labels(const MeasureState& st)
{
    calibrated[0] = value1;
    return { { 0, show[ShowName] != 0, QStringLiteral("FA%1").arg(sequenceNumber()) },
        { 1, show[ShowAngle] != 0, labelValue("<:", value1, Quantity::Angle, show[ShowUnit], st) } };
}

} // namespace measure
