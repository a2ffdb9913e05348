#include "shapes.h"

namespace measure {

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
    const KeptValues kept = keptValues(kind, measured(), live);
    value1 = kept.value1;
    value2 = kept.value2;
    value3 = kept.value3;
}

void CShape::Draw(QPainter& dc, const DrawContext& ctx, int number) const
{
    if (!visible)
        return;
    Figure f = figure();
    if (!ctx.across.isEmpty())
        f.picture = ctx.across;
    if (!live) {
        paintFigure(dc, f, ctx, number, show);
        return;
    }
    MeasureState labelled = ctx.settings;
    labelled.fontSize = fontHeight;
    paintFigure(dc, f, DrawContext{labelled, lineWidth, ctx.zoomX, ctx.zoomY, ctx.across, ctx.frame}, number, show);
}

void drawShapes(QPainter& p, std::span<const std::unique_ptr<CShape>> shapes, const DrawContext& ctx)
{
    KindCounter names;
    for (const auto& s : shapes) {
        if (s)
            s->Draw(p, ctx, names.next(s->kind, s->countsInNames()));
    }
}

std::vector<LabelRow> CShape::labels(const MeasureState& settings, int number) const
{
    return labelRows(kind, number, readingsOf(kind, measured(), unitsPerPixel(settings)), show, settings);
}

std::unique_ptr<CShape> makeShape(int toolCode, const QColor& line, const QColor& text, const QString& s, QSize picture,
                                  const std::vector<QPoint>& pts, double, double)
{
    const int kind = kindOfTool(toolCode);
    if (!kind)
        return nullptr;
    auto shape = std::make_unique<CShape>();
    shape->kind = kind;
    shape->textColour = text;
    shape->lineColour = line;
    shape->text = s;
    shape->pictureWidth = picture.width();
    shape->pictureHeight = picture.height();
    for (size_t i = 0; i < pts.size() && i < shape->points.size(); ++i)
        shape->points[i] = {static_cast<double>(pts[i].x()), static_cast<double>(pts[i].y())};
    shape->remeasure();
    return shape;
}

}  // namespace measure
