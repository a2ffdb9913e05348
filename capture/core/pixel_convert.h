#pragma once

#include "frame_ops.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace capture {

// YUYV (YUY2) as a camera sends it, top row first, into the 24-bit BGR
// bottom-up rows of `out` (BT.601, studio range, integer arithmetic).
// False when `size` is short of width x height x 2.
bool yuyvToBgr(const uint8_t* yuyv, size_t size, FrameView out);

// One MJPEG frame into the BGR bottom-up rows of `out`, which must be its
// size. False (with a reason) for an empty, damaged, cut or wrongly sized frame.
bool mjpegToBgr(const uint8_t* jpeg, size_t size, FrameView out, std::string* error = nullptr);

// The same frames straight into 32-bit display pixels (0xffRRGGBB, top row
// first), for a live view shown at 1:1.
bool mjpegToDisplay(const uint8_t* jpeg, size_t size, uint32_t* pixels, int width, int height, int stridePixels,
                    std::string* error = nullptr);
bool yuyvToDisplay(const uint8_t* yuyv, size_t size, uint32_t* pixels, int width, int height, int stridePixels);

// A side of a frame decoded at 1 / denom of its size, as libjpeg rounds it.
inline int reducedSize(int full, int denom)
{
    return (full + denom - 1) / denom;
}

// An MJPEG frame of fullWidth x fullHeight decoded at 1 / denom (1, 2, 4 or
// 8) of its size by libjpeg's DCT scaling, into rows or display pixels of
// reducedSize(fullWidth, denom) x reducedSize(fullHeight, denom): a picture
// shown at half size or less costs a fraction of a full decode.
bool mjpegToBgrScaled(const uint8_t* jpeg, size_t size, int fullWidth, int fullHeight, int denom, FrameView out,
                      std::string* error = nullptr);
bool mjpegToDisplayScaled(const uint8_t* jpeg, size_t size, int fullWidth, int fullHeight, int denom, uint32_t* pixels,
                          int stridePixels, std::string* error = nullptr);

}  // namespace capture
