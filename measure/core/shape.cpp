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
    remeasure();
}

Figure CShape::figure() const
{
    Figure f;
    f.kind = kind;
    f.points = points;
    f.inProgress = inProgress != 0;
    f.lineColour = lineColour;
    f.textColour = textColour;
    f.picture = QSize(pictureWidth, pictureHeight);
    f.text = text;
    return f;
}

void CShape::remeasure()
{
    const KeptValues kept = keptValues(kind, measured(), false);
    value1 = kept.value1;
    value2 = kept.value2;
    value3 = kept.value3;
}

void CShape::Draw(QPainter& dc, const DrawContext& ctx, int number) const
{
    if (visible)
        paintFigure(dc, figure(), ctx, number, show);
}

std::vector<LabelRow> CShape::labels(const MeasureState& settings, int number) const
{
    return labelRows(kind, number, readingsOf(kind, measured(), unitsPerPixel(settings)), show, settings);
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
