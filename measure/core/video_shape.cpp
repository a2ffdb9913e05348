#include "video_shape.h"

#include <QPainter>

#include <cmath>

namespace measure {

Figure CVideoShap::figure() const
{
    Figure f;
    f.kind = kind;
    f.inProgress = false;
    f.lineColour = lineColour;
    f.textColour = textColour;
    f.text = text;
    if (points.empty())
        return f;
    const int anchor = labelSlot(kind);
    const size_t vertices = anchor < 0 ? 1 : points.size() - 1;
    for (size_t i = 0; i < vertices && i < f.points.size(); ++i)
        f.points[i] = points[i];
    if (anchor >= 0)
        f.points[static_cast<size_t>(anchor)] = points.back();
    return f;
}

void CVideoShap::remeasure()
{
    const MeasuredValues m = measured();
    const KeptValues kept = keptValues(kind, m, true);
    value1 = kept.value1;
    value2 = kept.value2;
    value3 = kept.value3;
    centre1 = m.centre;
    centre2 = m.centre2;
    radius1 = m.radius;
    radius2 = m.radius2;
}

ShowFlags CVideoShap::showFlags() const
{
    ShowFlags show{};
    for (size_t i = 0; i < show.size(); ++i)
        show[i] = flags[i + 1];
    return show;
}

void drawVideoShapes(QPainter& p, const VideoShapeList& records, double zoomX, double zoomY, QPoint scrollOffset,
                     const MeasureState& settings)
{
    KindCounter names;
    // Extension lines reach to the far edges of the visible part, in frame pixels.
    const QSize shown = p.device() ? QSize(p.device()->width(), p.device()->height()) : QSize(0, 0);
    const QSize across(static_cast<int>(std::ceil((shown.width() + scrollOffset.x()) / zoomX)),
                       static_cast<int>(std::ceil((shown.height() + scrollOffset.y()) / zoomY)));
    MeasureState labelled = settings;
    p.save();
    p.translate(-scrollOffset);
    for (const auto& record : records) {
        if (!record || !record->flags[0] || record->points.empty())
            continue;
        Figure figure = record->figure();
        figure.picture = across;
        labelled.fontSize = record->fontHeight;
        const int number = names.next(record->kind, record->flags[1] != 0);
        paintFigure(p, figure, DrawContext{labelled, record->lineWidth, zoomX, zoomY}, number, record->showFlags());
    }
    p.restore();
}

}  // namespace measure
