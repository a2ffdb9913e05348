// Picture operations of the live view, checked pixel by pixel on odd widths.
#include "capture/core/frame_ops.h"
#include "capture/core/pixel_convert.h"

#include <gtest/gtest.h>

#include <vector>

using namespace capture;

namespace {

struct Frame {
    int w, h;
    std::vector<uint8_t> bytes;
    Frame(int width, int height) : w(width), h(height), bytes(size_t(rowStride(width)) * height, 0xCD)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                set(x, y, uint8_t(x * 10 + y), uint8_t(100 + x), uint8_t(200 - y));
    }
    FrameView view() { return {bytes.data(), w, h, rowStride(w)}; }
    uint8_t* at(int x, int y) { return bytes.data() + size_t(y) * rowStride(w) + x * 3; }
    void set(int x, int y, uint8_t b, uint8_t g, uint8_t r) { at(x, y)[0] = b, at(x, y)[1] = g, at(x, y)[2] = r; }
    std::vector<uint8_t> px(int x, int y) { return {at(x, y)[0], at(x, y)[1], at(x, y)[2]}; }
    // The padding bytes at each row's end.
    bool paddingUntouched()
    {
        for (int y = 0; y < h; ++y)
            for (int i = w * 3; i < rowStride(w); ++i)
                if (bytes[size_t(y) * rowStride(w) + i] != 0xCD)
                    return false;
        return true;
    }
};

}  // namespace

TEST(FrameOps, RowsArePaddedToFourBytes)
{
    EXPECT_EQ(rowStride(1), 4);
    EXPECT_EQ(rowStride(3), 12);
    EXPECT_EQ(rowStride(5), 16);
    EXPECT_EQ(rowStride(1920), 5760);
}

TEST(FrameOps, MirrorAndFlipMovePixelsExactly)
{
    for (int w : {1, 3, 5}) {
        Frame f(w, 3);
        Frame original = f;
        mirrorHorizontally(f.view());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(f.px(x, y), original.px(w - 1 - x, y));
        flipVertically(f.view());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(f.px(x, y), original.px(w - 1 - x, 2 - y));
        EXPECT_TRUE(f.paddingUntouched());
    }
}

TEST(FrameOps, ColourModes)
{
    Frame f(3, 2);
    applyColourMode(f.view(), RedChannel);
    EXPECT_EQ(f.px(2, 1), (std::vector<uint8_t>{199, 199, 199}));
    Frame g(3, 2);
    applyColourMode(g.view(), GreenChannel);
    EXPECT_EQ(g.px(2, 1), (std::vector<uint8_t>{102, 102, 102}));
    Frame b(3, 2);
    applyColourMode(b.view(), BlueChannel);
    EXPECT_EQ(b.px(2, 1), (std::vector<uint8_t>{21, 21, 21}));
    Frame n(3, 2);
    applyColourMode(n.view(), Negative);
    EXPECT_EQ(n.px(2, 1), (std::vector<uint8_t>{255 - 21, 255 - 102, 255 - 199}));
    EXPECT_TRUE(n.paddingUntouched());
    Frame same(3, 2);
    applyColourMode(same.view(), 9);
    EXPECT_EQ(same.bytes, Frame(3, 2).bytes);
}

TEST(FrameOps, NetworkFramesAreTurnedUprightBeforeTheUsersFlip)
{
    Frame f(5, 4);
    Frame original = f;
    prepareFrame(f.view(), true, false, true, Natural);  // two vertical flips cancel
    EXPECT_EQ(f.bytes, original.bytes);
    prepareFrame(f.view(), false, true, false, Negative);
    EXPECT_EQ(f.px(0, 0)[0], uint8_t(~original.px(4, 0)[0]));
}

TEST(FrameOps, DisplayPassMatchesTheStepByStepOperations)
{
    // Checked against the in-place operations followed by a plain nearest-pixel scale.
    for (double zoom : {1.0, 0.5, 2.0}) {
        for (int mode : {Natural, RedChannel, Negative}) {
            for (int flags = 0; flags < 8; ++flags) {
                const bool network = flags & 1, mirror = flags & 2, flip = flags & 4;
                Frame f(7, 5);
                Frame reference = f;
                prepareFrame(reference.view(), network, mirror, flip, mode);
                const int w = static_cast<int>(7 * zoom + 0.5), h = static_cast<int>(5 * zoom + 0.5);
                std::vector<uint32_t> out(size_t(w) * h, 0);
                std::vector<int> scratch;
                composeDisplay(f.view(), {out.data(), w, h, w}, zoom, zoom, 0, 0, network, mirror, flip, mode, scratch);
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        const int sx = static_cast<int>(x / zoom), sy = static_cast<int>(y / zoom);
                        const std::vector<uint8_t> p = reference.px(sx, 4 - sy);  // bottom-up
                        const uint32_t expected = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                        ASSERT_EQ(out[size_t(y) * w + x], expected)
                            << zoom << " " << mode << " " << flags << " at " << x << "," << y;
                    }
                }
            }
        }
    }
    // Scrolled past the frame's end: black.
    Frame f(4, 4);
    std::vector<uint32_t> out(16, 0);
    std::vector<int> scratch;
    composeDisplay(f.view(), {out.data(), 4, 4, 4}, 1, 1, 2, 2, false, false, false, Natural, scratch);
    EXPECT_EQ(out[15], 0xFF000000u);
}

TEST(FrameOps, InPlaceDisplayOperationsMatchTheDisplayPass)
{
    for (int mode : {Natural, RedChannel, GreenChannel, BlueChannel, Negative}) {
        for (int flags = 0; flags < 8; ++flags) {
            const bool network = flags & 1, mirror = flags & 2, flip = flags & 4;
            Frame f(7, 5);
            std::vector<uint32_t> expected(35), plain(35);
            std::vector<int> scratch;
            composeDisplay(f.view(), {expected.data(), 7, 5, 7}, 1, 1, 0, 0, network, mirror, flip, mode, scratch);
            composeDisplay(f.view(), {plain.data(), 7, 5, 7}, 1, 1, 0, 0, false, false, false, Natural, scratch);
            prepareDisplay(plain.data(), 7, 5, 7, network != flip, mirror, mode);
            EXPECT_EQ(plain, expected) << mode << " " << flags;
        }
    }
}

TEST(FrameOps, YuyvIntoDisplayPixelsMatchesTheRowConversion)
{
    std::vector<uint8_t> yuyv(6 * 3 * 2);
    for (size_t i = 0; i < yuyv.size(); ++i)
        yuyv[i] = static_cast<uint8_t>(i * 37 + 11);
    Frame rows(6, 3);
    ASSERT_TRUE(yuyvToBgr(yuyv.data(), yuyv.size(), rows.view()));
    std::vector<uint32_t> display(18), expected(18);
    std::vector<int> scratch;
    ASSERT_TRUE(yuyvToDisplay(yuyv.data(), yuyv.size(), display.data(), 6, 3, 6));
    composeDisplay(rows.view(), {expected.data(), 6, 3, 6}, 1, 1, 0, 0, false, false, false, Natural, scratch);
    EXPECT_EQ(display, expected);
}
