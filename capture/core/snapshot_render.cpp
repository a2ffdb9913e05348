#include "snapshot_render.h"

#include "frame_ops.h"

#include <QPainter>

namespace capture {

QImage renderSnapshot(SnapshotInput& in)
{
    const int stride = rowStride(in.width);
    if (in.width <= 0 || in.height <= 0 || in.rows.size() < size_t(stride) * size_t(in.height))
        return {};
    const FrameView frame{in.rows.data(), in.width, in.height, stride};
    if (in.mirror)
        mirrorHorizontally(frame);
    if (in.flip)
        flipVertically(frame);
    applyColourMode(frame, in.colourMode);

    // Bottom-up BGR rows seen as a top-down image, turned right way up.
    const QImage wrapped(in.rows.data(), in.width, in.height, stride, QImage::Format_BGR888);
    QImage upright = wrapped.mirrored(false, true);
    const QSize size(static_cast<int>(in.width * in.scaleX + 0.5), static_cast<int>(in.height * in.scaleY + 0.5));
    if (size.isEmpty())
        return {};
    QImage picture = size == upright.size() ? std::move(upright) : upright.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    picture = picture.convertToFormat(QImage::Format_RGB32);

    if (in.burnIn) {
        QPainter p(&picture);
        if (in.shapes && in.measure && !in.shapes->empty())
            measure::drawVideoShapes(p, *in.shapes, in.scaleX, in.scaleY, QPoint(0, 0), *in.measure);
        OverlayParams o = in.overlay;
        o.frameWidth = in.width;
        o.frameHeight = in.height;
        o.zoomX = in.scaleX;
        o.zoomY = in.scaleY;
        o.labelImage = nullptr;
        o.colouredPen = o.whitePen = nullptr;
        if (o.mode != OverlayNone)
            paintOverlay(p, o);
    }
    return picture;
}

}  // namespace capture
