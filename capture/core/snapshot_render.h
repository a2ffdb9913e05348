#pragma once

#include "measure/core/overlay_painter.h"

#include "measure/core/measure_state.h"
#include "measure/core/video_shape.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace capture {

// What a still picture is made of: the slot's latest frame and how the live
// window shows it.
struct SnapshotInput {
    std::vector<uint8_t> rows;  // 24-bit BGR, bottom-up, rows padded to 4 bytes
    int width = 0;
    int height = 0;
    bool mirror = false;
    bool flip = false;
    int colourMode = 0;
    double scaleX = 1.0;  // picture size / frame size
    double scaleY = 1.0;
    bool burnIn = false;  // draw the finished measurements and the overlay
    measure::OverlayParams overlay;
    const measure::VideoShapeList* shapes = nullptr;
    const measure::MeasureState* measure = nullptr;
};

// The picture as it is saved: mirrored, flipped and coloured like the live
// picture, scaled, with the measurements and overlay burnt in at the
// picture's scale when asked. Null when the input holds no frame.
QImage renderSnapshot(SnapshotInput& input);

}  // namespace capture
