#include "snapshot_render.h"

#include "frame_ops.h"

#include "measure/core/burn_in.h"

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
    QImage picture = size == upright.size() ? std::move(upright)
                                            : upright.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!in.burnIn)
        return picture.convertToFormat(QImage::Format_RGB32);
    measure::BurnIn what;
    what.scaleX = in.scaleX;
    what.scaleY = in.scaleY;
    what.records = in.shapes;
    what.overlay = in.overlay;
    what.overlay->frameWidth = in.width;
    what.overlay->frameHeight = in.height;
    what.overlay->zoomX = in.scaleX;
    what.overlay->zoomY = in.scaleY;
    return measure::burntIn(picture, what, in.measure ? *in.measure : measure::MeasureState());
}

}  // namespace capture
