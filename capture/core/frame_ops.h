#pragma once

#include <cstdint>

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

}  // namespace capture
