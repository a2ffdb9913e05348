#include "frame_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace capture {

void mirrorHorizontally(FrameView f)
{
    for (int y = 0; y < f.height; ++y) {
        uint8_t* row = f.data + size_t(y) * f.stride;
        for (int l = 0, r = f.width - 1; l < r; ++l, --r) {
            std::swap(row[l * 3], row[r * 3]);
            std::swap(row[l * 3 + 1], row[r * 3 + 1]);
            std::swap(row[l * 3 + 2], row[r * 3 + 2]);
        }
    }
}

void flipVertically(FrameView f)
{
    std::vector<uint8_t> tmp(static_cast<size_t>(f.stride));
    for (int top = 0, bottom = f.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = f.data + size_t(top) * f.stride;
        uint8_t* b = f.data + size_t(bottom) * f.stride;
        std::memcpy(tmp.data(), a, tmp.size());
        std::memcpy(a, b, tmp.size());
        std::memcpy(b, tmp.data(), tmp.size());
    }
}

void applyColourMode(FrameView f, int mode)
{
    if (mode < RedChannel || mode > Negative)
        return;
    for (int y = 0; y < f.height; ++y) {
        uint8_t* p = f.data + size_t(y) * f.stride;
        for (int x = 0; x < f.width; ++x, p += 3) {
            switch (mode) {
            case RedChannel: p[0] = p[1] = p[2]; break;
            case GreenChannel: p[0] = p[2] = p[1]; break;
            case BlueChannel: p[1] = p[2] = p[0]; break;
            case Negative:
                p[0] = static_cast<uint8_t>(~p[0]);
                p[1] = static_cast<uint8_t>(~p[1]);
                p[2] = static_cast<uint8_t>(~p[2]);
                break;
            default: break;
            }
        }
    }
}

void prepareFrame(FrameView f, bool networkFrame, bool mirror, bool flip, int colourMode)
{
    if (networkFrame)
        flipVertically(f);
    if (mirror)
        mirrorHorizontally(f);
    if (flip)
        flipVertically(f);
    applyColourMode(f, colourMode);
}

}  // namespace capture
