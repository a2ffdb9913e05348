#include "shapes.h"

namespace measure {

CShape::CShape(int kindValue, int count, const QColor& line, const QColor& textCol, const QString& textValue, QSize picture,
               const std::vector<QPoint>& pts)
    : kind(kindValue),
      textColour(textCol),
      lineColour(line),
      text(textValue),
      pointCount(count),
      pictureWidth(picture.width()),
      pictureHeight(picture.height())
{
    for (size_t i = 0; i < pts.size() && i < points.size(); ++i)
        points[i] = {static_cast<double>(pts[i].x()), static_cast<double>(pts[i].y())};
}

void CShape::Draw(QPainter&, const DrawContext&) {}

std::vector<LabelRow> CShape::labels(const MeasureState&)
{
    return {};
}

Point2d CShape::labelAnchor() const
{
    return pointCount > 0 ? pt(pointCount - 1) : Point2d{};
}

void CShape::drawPlacementMarks(QPainter& dc, const DrawContext& ctx, int count) const
{
    for (int i = 0; i < count; ++i) {
        if (isSetAt(i))
            drawCrosshair(dc, toDrawing(pt(i), ctx.zoomX, ctx.zoomY));
    }
}

void CShape::drawLabelBlock(QPainter& dc, const DrawContext& ctx)
{
    if (inProgress)
        return;
    drawLabels(dc, labelAnchor(), ctx.zoomX, ctx.zoomY, ctx.settings.fontSize, textColour, labels(ctx.settings));
}

std::vector<Point2d> CShape::leadingPoints(int max) const
{
    std::vector<Point2d> out;
    for (int i = 0; i < max && isSetAt(i); ++i)
        out.push_back(pt(i));
    return out;
}

int kindOfTool(int toolCode)
{
    switch (toolCode) {
    case ToolLine: return KindLine;
    case ToolContinualLine: return KindContinualLine;
    case ToolDotLine: return KindDotLine;
    case ToolPolygon: return KindPolygon;
    case ToolRCircle: return KindRCircle;
    case ToolCircle: return KindCircle;
    case ToolTPCircle: return KindTPCircle;
    case ToolArc: return KindArc;
    case ToolTAngle: return KindTAngle;
    case ToolFAngle: return KindFAngle;
    case ToolTCircle: return KindTCircle;
    case ToolText: return KindText;
    default: return 0;
    }
}

std::unique_ptr<CShape> makeShape(int toolCode, const QColor& line, const QColor& text, const QString& s, QSize picture,
                                  const std::vector<QPoint>& pts, double zoomX, double zoomY)
{
    switch (toolCode) {
    case ToolLine: return std::make_unique<CLine>(line, text, s, picture, pts);
    case ToolContinualLine: return std::make_unique<CContinualLine>(line, text, s, picture, pts);
    case ToolDotLine: return std::make_unique<CDotLine>(line, text, s, picture, pts);
    case ToolPolygon: return std::make_unique<CPolygon>(line, text, s, picture, pts);
    case ToolRCircle: return std::make_unique<CRCircle>(line, text, s, picture, pts, zoomX, zoomY);
    case ToolCircle: return std::make_unique<CCircle>(line, text, s, picture, pts, zoomX, zoomY);
    case ToolTPCircle: return std::make_unique<CTPCircle>(line, text, s, picture, pts);
    case ToolArc: return std::make_unique<CArc>(line, text, s, picture, pts, zoomX, zoomY);
    case ToolTAngle: return std::make_unique<CTAngle>(line, text, s, picture, pts);
    case ToolFAngle: return std::make_unique<CFAngle>(line, text, s, picture, pts);
    case ToolTCircle: return std::make_unique<CTCircle>(line, text, s, picture, pts, zoomX, zoomY);
    case ToolText: return std::make_unique<CText>(line, text, s, picture, pts);
    default: return nullptr;
    }
}

}  // namespace measure
