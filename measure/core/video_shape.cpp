#include "video_shape.h"

#include "shapes.h"

#include <QPainter>

namespace measure {

namespace {

// Where each kind keeps its label point among the picture shape's slots.
int anchorSlot(int kind)
{
    switch (kind) {
    case KindLine:
    case KindRCircle:
    case KindCircle: return 2;
    case KindDotLine:
    case KindTPCircle:
    case KindArc:
    case KindTAngle: return 3;
    case KindFAngle:
    case KindTCircle: return 4;
    case KindContinualLine:
    case KindPolygon: return 10;
    case KindText: return 0;
    default: return -1;
    }
}

int toolOfKind(int kind)
{
    static constexpr int kTools[] = {ToolNone, ToolLine, ToolContinualLine, ToolDotLine, ToolPolygon, ToolRCircle, ToolCircle,
                                     ToolTPCircle, ToolArc, ToolTAngle, ToolFAngle, ToolTCircle, ToolNone, ToolText};
    return kind >= 0 && kind <= 13 ? kTools[kind] : ToolNone;
}

// The record as a finished picture shape, so both draw the same way.
std::unique_ptr<CShape> asShape(const CVideoShap& r)
{
    const int anchor = anchorSlot(r.kind);
    if (anchor < 0 || r.points.empty())
        return nullptr;
    std::vector<QPoint> slots(CShape::kMaxPoints);
    const size_t vertices = r.kind == KindText ? 1 : r.points.size() - 1;
    for (size_t i = 0; i < vertices && i < slots.size(); ++i)
        slots[i] = QPoint(qRound(r.points[i].x), qRound(r.points[i].y));
    if (r.kind != KindText)
        slots[static_cast<size_t>(anchor)] = QPoint(qRound(r.points.back().x), qRound(r.points.back().y));
    auto shape = makeShape(toolOfKind(r.kind), r.lineColour, r.textColour, r.text, QSize(), slots, 1, 1);
    if (!shape)
        return nullptr;
    // Keep the record's exact points rather than their rounding.
    for (size_t i = 0; i < vertices && i < slots.size(); ++i)
        shape->points[i] = r.points[i];
    if (r.kind != KindText)
        shape->points[static_cast<size_t>(anchor)] = r.points.back();
    shape->inProgress = 0;
    for (size_t i = 0; i < 8; ++i)
        shape->show[i] = r.flags[i + 1];
    return shape;
}

}  // namespace

void drawVideoShapes(QPainter& p, const VideoShapeList& records, double zoomX, double zoomY, QPoint scrollOffset,
                     const MeasureState& settings)
{
    std::array<int, 14> named{};
    p.save();
    p.translate(-scrollOffset);
    for (const auto& record : records) {
        if (!record || !record->flags[0])
            continue;
        auto shape = asShape(*record);
        if (!shape)
            continue;
        // Extension lines reach across the whole frame.
        shape->pictureWidth = static_cast<int>((p.device() ? p.device()->width() : 0) / zoomX) + scrollOffset.x();
        shape->pictureHeight = static_cast<int>((p.device() ? p.device()->height() : 0) / zoomY) + scrollOffset.y();
        if (record->kind >= 1 && record->kind <= 11) {
            const auto k = static_cast<size_t>(record->kind);
            shape->kindSequence[k - 1] = named[k];
            if (record->flags[1])
                ++named[k];
        }
        MeasureState labelled = settings;
        labelled.fontSize = record->fontHeight;
        shape->Draw(p, DrawContext{labelled, record->lineWidth, zoomX, zoomY});
    }
    p.restore();
}

}  // namespace measure
