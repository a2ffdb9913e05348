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

namespace {

template <int Mode>
inline uint32_t pixelOf(const uint8_t* p)
{
    uint32_t b = p[0], g = p[1], r = p[2];
    if constexpr (Mode == RedChannel)
        b = g = r;
    else if constexpr (Mode == GreenChannel)
        b = r = g;
    else if constexpr (Mode == BlueChannel)
        g = r = b;
    else if constexpr (Mode == Negative)
        b ^= 0xFF, g ^= 0xFF, r ^= 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

template <int Mode>
void composeRows(const FrameView& frame, DisplayTarget out, const int* columns, const int* rows, bool direct)
{
    for (int oy = 0; oy < out.height; ++oy) {
        uint32_t* o = out.pixels + size_t(oy) * out.stridePixels;
        const int sy = rows[oy];
        if (sy < 0) {
            std::fill(o, o + out.width, 0xFF000000u);
            continue;
        }
        const uint8_t* in = frame.data + size_t(sy) * frame.stride;
        if (direct) {  // 1:1 and not mirrored: a straight walk the compiler vectorises
            for (int ox = 0; ox < out.width; ++ox)
                o[ox] = pixelOf<Mode>(in + ox * 3);
            continue;
        }
        for (int ox = 0; ox < out.width; ++ox) {
            const int sx = columns[ox];
            o[ox] = sx < 0 ? 0xFF000000u : pixelOf<Mode>(in + sx * 3);
        }
    }
}

}  // namespace

void composeDisplay(const FrameView& frame, DisplayTarget out, double zoomX, double zoomY, int scrollX, int scrollY,
                    bool networkFrame, bool mirror, bool flip, int colourMode, std::vector<int>& columns)
{
    if (columns.size() < size_t(out.width) + size_t(out.height))
        columns.resize(size_t(out.width) + size_t(out.height));  // only when the size grows
    int* cols = columns.data();
    int* rows = columns.data() + out.width;
    // Which source column and row (bottom-up index) each display pixel shows.
    bool direct = !mirror && zoomX == 1.0 && scrollX == 0 && out.width <= frame.width;
    for (int ox = 0; ox < out.width; ++ox) {
        int sx = static_cast<int>((ox + scrollX) / zoomX);
        if (sx >= frame.width)
            sx = -1;
        else if (mirror)
            sx = frame.width - 1 - sx;
        cols[ox] = sx;
    }
    // Top-down display rows; the frame is bottom-up, and each vertical flip
    // (network frame, user flip) turns it over once more.
    const bool upsideDown = networkFrame != flip;
    for (int oy = 0; oy < out.height; ++oy) {
        const int topDown = static_cast<int>((oy + scrollY) / zoomY);
        if (topDown >= frame.height) {
            rows[oy] = -1;
            continue;
        }
        rows[oy] = upsideDown ? topDown : frame.height - 1 - topDown;
    }
    switch (colourMode) {
    case RedChannel: composeRows<RedChannel>(frame, out, cols, rows, direct); break;
    case GreenChannel: composeRows<GreenChannel>(frame, out, cols, rows, direct); break;
    case BlueChannel: composeRows<BlueChannel>(frame, out, cols, rows, direct); break;
    case Negative: composeRows<Negative>(frame, out, cols, rows, direct); break;
    default: composeRows<Natural>(frame, out, cols, rows, direct); break;
    }
}

namespace {

template <int Mode>
inline uint32_t toned(uint32_t v)
{
    const uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    if constexpr (Mode == RedChannel)
        return 0xFF000000u | r * 0x010101u;
    else if constexpr (Mode == GreenChannel)
        return 0xFF000000u | g * 0x010101u;
    else if constexpr (Mode == BlueChannel)
        return 0xFF000000u | b * 0x010101u;
    else if constexpr (Mode == Negative)
        return v ^ 0x00FFFFFFu;
    else
        return v;
}

// Mirror and colour mode in one walk over each row.
template <int Mode>
void toneRows(uint32_t* pixels, int width, int height, int stridePixels, bool mirror)
{
    // Scratch for one row, kept by the thread: it grows once, then stays.
    thread_local std::vector<uint32_t> scratch;
    if (mirror && scratch.size() < size_t(width))
        scratch.resize(size_t(width));
    uint32_t* row = scratch.data();
    for (int y = 0; y < height; ++y) {
        uint32_t* p = pixels + size_t(y) * stridePixels;
        if (!mirror) {
            for (int x = 0; x < width; ++x)
                p[x] = toned<Mode>(p[x]);
            continue;
        }
        // Through a copy of the row: a reversed walk the compiler vectorises.
        std::memcpy(row, p, size_t(width) * 4);
        const uint32_t* last = row + width - 1;
        for (int x = 0; x < width; ++x)
            p[x] = toned<Mode>(last[-x]);
    }
}

}  // namespace

void prepareDisplay(uint32_t* pixels, int width, int height, int stridePixels, bool upsideDown, bool mirror, int colourMode)
{
    if (upsideDown) {
        for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels + size_t(top) * stridePixels, pixels + size_t(top) * stridePixels + width,
                             pixels + size_t(bottom) * stridePixels);
    }
    switch (colourMode) {
    case RedChannel: toneRows<RedChannel>(pixels, width, height, stridePixels, mirror); break;
    case GreenChannel: toneRows<GreenChannel>(pixels, width, height, stridePixels, mirror); break;
    case BlueChannel: toneRows<BlueChannel>(pixels, width, height, stridePixels, mirror); break;
    case Negative: toneRows<Negative>(pixels, width, height, stridePixels, mirror); break;
    default:
        if (mirror)
            toneRows<Natural>(pixels, width, height, stridePixels, true);
        break;
    }
}

}  // namespace capture
