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

void CShape::Draw(QPainter& dc, const DrawContext& ctx)
{
    if (!visible)
        return;
    remeasure();
    if (!inProgress)
        setCalibrated(readingsOf(kind, measured(), unitsPerPixel(ctx.settings)));
    paintFigure(dc, figure(), ctx, sequenceNumber(), show);
}

void CShape::setCalibrated(const Readings& r)
{
    // The calibrated values in label order, as the label rows print them.
    static constexpr int kOrder[] = {ColLength, ColRadius1, ColDiameter, ColAngle, ColPerimeter, ColArea, ColRadius2};
    static constexpr int kTwoCircles[] = {ColRadius1, ColRadius2, ColLength};
    size_t next = 0;
    for (int column : kind == KindTCircle ? std::span<const int>(kTwoCircles) : std::span<const int>(kOrder)) {
        if (r.has(column) && next < calibrated.size())
            calibrated[next++] = r.at(column);
    }
}

std::vector<LabelRow> CShape::labels(const MeasureState& settings)
{
    remeasure();
    const Readings r = readingsOf(kind, measured(), unitsPerPixel(settings));
    setCalibrated(r);
    return labelRows(kind, sequenceNumber(), r, show, settings);
}

Point2d CShape::labelAnchor() const
{
    return figure().anchor();
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
