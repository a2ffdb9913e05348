#pragma once

#include <cstddef>
#include <cstdint>

namespace capture {

// YUYV into 32-bit display pixels (top row first) with OpenCV's vectorised
// conversion: the live picture's path for YUYV cameras.
bool yuyvToDisplayFast(const uint8_t* yuyv, size_t size, uint32_t* pixels, int width, int height, int stridePixels);

}  // namespace capture
