#pragma once

#include "measure_state.h"
#include "overlay_painter.h"
#include "video_shape.h"

#include <QImage>

#include <optional>

class QPainter;

namespace measure {

class ShapeList;

// What a picture gets drawn over it at a scale: a picture's shapes or a live
// slot's records, and the overlay (its frame size and zoom set by the caller).
struct BurnIn {
    double scaleX = 1;
    double scaleY = 1;
    const ShapeList* shapes = nullptr;
    const VideoShapeList* records = nullptr;
    std::optional<OverlayParams> overlay;
};

// The measurements, then the overlay, drawn in picture coordinates at the
// scale: what a window shows over its picture, and what a saved picture has
// burnt in. Snapshots, the workbook picture, a picture window's Save and its
// export save all go through here.
void paintBurnIn(QPainter& p, const BurnIn& what, const MeasureState& settings);

// `picture` with the measurements and overlay burnt in (32-bit, as saved).
QImage burntIn(const QImage& picture, const BurnIn& what, const MeasureState& settings);

}  // namespace measure
