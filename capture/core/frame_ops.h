#pragma once

#include <cstdint>
#include <vector>

namespace capture {

// A 24-bit BGR frame as delivered: bottom-up rows of `stride` bytes.
struct FrameView {
    uint8_t* data;
    int width;
    int height;
    int stride;
};

// Bytes a row of a 24-bit frame takes, padded to 4.
inline int rowStride(int width)
{
    return ((width * 24 / 8 + 3) / 4) * 4;
}

enum ColourMode : int { Natural = 0, RedChannel = 1, GreenChannel = 2, BlueChannel = 3, Negative = 4 };

void mirrorHorizontally(FrameView f);
void flipVertically(FrameView f);
// Red channel copies red into blue and green (and so on); negative inverts.
void applyColourMode(FrameView f, int mode);

// The live view's picture operations, in the order the renderer applies them:
// a network frame is turned upright first, then mirrored, flipped, coloured.
void prepareFrame(FrameView f, bool networkFrame, bool mirror, bool flip, int colourMode);

// The live view's operations on a 32-bit display picture (top row first),
// in place: mirror, upside down, colour mode.
void prepareDisplay(uint32_t* pixels, int width, int height, int stridePixels, bool upsideDown, bool mirror, int colourMode);

// The display picture in one pass: the bottom-up BGR frame, scaled by the
// zoom (nearest pixel) and scrolled, mirrored, flipped and coloured as the
// live view asks, into 32-bit pixels (0xffRRGGBB) top row first.
// `columns` is scratch space kept by the caller between frames.
struct DisplayTarget {
    uint32_t* pixels;
    int width;
    int height;
    int stridePixels;
};
void composeDisplay(const FrameView& frame, DisplayTarget out, double zoomX, double zoomY, int scrollX, int scrollY,
                    bool networkFrame, bool mirror, bool flip, int colourMode, std::vector<int>& columns);

}  // namespace capture
