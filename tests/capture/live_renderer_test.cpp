// The live picture composed from a camera's bytes without any thread: scaled
// MJPEG decoding, zoom, scroll, flips, colour modes and the decorations.
#include "capture/core/frame_ops.h"
#include "capture/core/live_renderer.h"
#include "capture/core/pixel_convert.h"
#include "capture/core/simulated_camera.h"
#include "measure/core/burn_in.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace capture;

namespace {

struct Jpeg {
    int w, h;
    std::vector<uint8_t> bytes;
};

// A frame of the simulated microscope: its scale, cells, texture and noise.
Jpeg microscopeFrame(int w, int h)
{
    SimulatedCamera cam(SimulatedCamera::Model::Model1, 1);
    EXPECT_TRUE(cam.setFormat(w, h, FormatMJPG));
    Jpeg j{w, h, {}};
    EXPECT_TRUE(cam.capture(5, j.bytes));
    return j;
}

std::vector<uint8_t> fullRows(const Jpeg& j)
{
    std::vector<uint8_t> rows(size_t(rowStride(j.w)) * j.h);
    EXPECT_TRUE(mjpegToBgr(j.bytes.data(), j.bytes.size(), {rows.data(), j.w, j.h, rowStride(j.w)}));
    return rows;
}

// Bottom-up rows `factor` times smaller, each pixel the average of the block it replaces.
std::vector<uint8_t> averaged(const std::vector<uint8_t>& rows, int w, int h, int factor)
{
    const int sw = w / factor, sh = h / factor;
    std::vector<uint8_t> out(size_t(rowStride(sw)) * sh);
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < sw; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += rows[size_t(y * factor + dy) * rowStride(w) + size_t(x * factor + dx) * 3 + c];
                out[size_t(y) * rowStride(sw) + size_t(x) * 3 + c] = static_cast<uint8_t>(sum / (factor * factor));
            }
        }
    }
    return out;
}

// The display picture the way the live window always made it: the whole
// frame decoded, then zoomed by nearest pixel, scrolled, flipped, coloured.
// Shown at half size, from the whole frame averaged down to that size.
struct FullFrameReference {
    explicit FullFrameReference(const Jpeg& jpeg) : j(jpeg), full(fullRows(j)), half(averaged(full, j.w, j.h, 2)) {}

    QImage composed(const LiveViewSettings& s) const
    {
        const int factor = s.zoomX == 0.5 ? 2 : 1;
        const std::vector<uint8_t>& rows = factor == 2 ? half : full;
        const int w = j.w / factor, h = j.h / factor;
        QImage out(static_cast<int>(j.w * s.zoomX + 0.5), static_cast<int>(j.h * s.zoomY + 0.5), QImage::Format_RGB32);
        std::vector<int> scratch;
        composeDisplay({const_cast<uint8_t*>(rows.data()), w, h, rowStride(w)},
                       {reinterpret_cast<uint32_t*>(out.bits()), out.width(), out.height(), int(out.bytesPerLine() / 4)},
                       s.zoomX * factor, s.zoomY * factor, s.scrollX, s.scrollY, s.networkFrame, s.mirror, s.flip, s.colourMode,
                       scratch);
        return out;
    }

    const Jpeg& j;
    const std::vector<uint8_t> full;
    const std::vector<uint8_t> half;
};

// Mean and largest difference of the colour bytes of two pictures of one size.
struct Difference {
    double mean = 0;
    int largest = 0;
};
Difference differenceOf(const QImage& a, const QImage& b)
{
    Difference d;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const uint8_t*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const uint8_t*>(b.constScanLine(y));
        for (int x = 0; x < a.width() * 4; ++x) {
            if (x % 4 == 3)
                continue;
            const int diff = std::abs(int(pa[x]) - int(pb[x]));
            sum += diff;
            d.largest = std::max(d.largest, diff);
        }
    }
    d.mean = sum / (double(a.width()) * a.height() * 3);
    return d;
}

const QImage& rendered(LiveRenderer& renderer, const Jpeg& j, const LiveViewSettings& s)
{
    const QImage* out = renderer.render(j.bytes.data(), j.bytes.size(), FormatMJPG, j.w, j.h, s);
    EXPECT_TRUE(out);
    static const QImage none;
    return out ? *out : none;
}

}  // namespace

TEST(LiveRenderer, DecodeScaleFollowsTheLargerZoom)
{
    EXPECT_EQ(LiveRenderer::decodeScale(1, 1), 1);
    EXPECT_EQ(LiveRenderer::decodeScale(0.6, 0.6), 1);
    EXPECT_EQ(LiveRenderer::decodeScale(0.5, 0.5), 2);
    EXPECT_EQ(LiveRenderer::decodeScale(0.3, 0.3), 2);
    EXPECT_EQ(LiveRenderer::decodeScale(0.25, 0.5), 2);
    EXPECT_EQ(LiveRenderer::decodeScale(0.25, 0.25), 4);
    EXPECT_EQ(LiveRenderer::decodeScale(0.1, 0.1), 8);
    EXPECT_EQ(LiveRenderer::decodeScale(2, 2), 1);
}

// A decode at 1/2, 1/4 and 1/8 of the size shows what a full decode shows,
// averaged over the blocks it replaces.
TEST(LiveRenderer, ScaledDecodingMatchesAFullDecodeScaledDown)
{
    const Jpeg j = microscopeFrame(640, 480);
    const std::vector<uint8_t> full = fullRows(j);
    for (int denom : {2, 4, 8}) {
        SCOPED_TRACE(denom);
        const int w = reducedSize(j.w, denom), h = reducedSize(j.h, denom);
        std::vector<uint8_t> small(size_t(rowStride(w)) * h);
        std::string why;
        ASSERT_TRUE(mjpegToBgrScaled(j.bytes.data(), j.bytes.size(), j.w, j.h, denom, {small.data(), w, h, rowStride(w)}, &why))
            << why;
        const std::vector<uint8_t> reference = averaged(full, j.w, j.h, denom);
        double sum = 0;
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < w * 3; ++i)
                sum += std::abs(int(reference[size_t(y) * rowStride(w) + i]) - int(small[size_t(y) * rowStride(w) + i]));
        EXPECT_LT(sum / (double(w) * h * 3), 2.5);

        // The display pixels are the same picture.
        std::vector<uint32_t> display(size_t(w) * h);
        ASSERT_TRUE(mjpegToDisplayScaled(j.bytes.data(), j.bytes.size(), j.w, j.h, denom, display.data(), w));
        const uint8_t* p = small.data() + size_t(h - 1) * rowStride(w);  // the top row
        EXPECT_EQ(display[0], 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
    }
    std::vector<uint8_t> wrong(size_t(rowStride(300)) * 240);
    EXPECT_FALSE(mjpegToBgrScaled(j.bytes.data(), j.bytes.size(), j.w, j.h, 2, {wrong.data(), 300, 240, rowStride(300)}));
    std::vector<uint8_t> half(size_t(rowStride(320)) * 240);
    EXPECT_FALSE(mjpegToBgrScaled(j.bytes.data(), j.bytes.size(), j.w, j.h, 3, {half.data(), 320, 240, rowStride(320)}));
    EXPECT_FALSE(mjpegToBgrScaled(j.bytes.data(), j.bytes.size() / 2, j.w, j.h, 2, {half.data(), 320, 240, rowStride(320)}));
}

// Zoom 1 and 2, scrolled or not, give exactly the picture the live window
// always showed; zoom 0.5 the same picture from a frame decoded at half size.
TEST(LiveRenderer, ComposesTheDisplayPictureForEveryViewSetting)
{
    const Jpeg j = microscopeFrame(640, 480);
    const FullFrameReference reference(j);
    LiveRenderer renderer;
    for (double zoom : {1.0, 0.5, 2.0}) {
        for (int scroll : {0, 37}) {
            for (int mode : {Natural, GreenChannel, Negative}) {
                for (int flags : mode == Natural ? std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7} : std::vector<int>{0, 7}) {
                    LiveViewSettings s;
                    s.zoomX = s.zoomY = zoom;
                    s.scrollX = scroll;
                    s.scrollY = scroll / 2;
                    s.networkFrame = flags & 1;
                    s.mirror = flags & 2;
                    s.flip = flags & 4;
                    s.colourMode = mode;
                    SCOPED_TRACE(testing::Message()
                                 << "zoom " << zoom << " scroll " << scroll << " mode " << mode << " flags " << flags);
                    const QImage& shown = rendered(renderer, j, s);
                    const QImage before = reference.composed(s);
                    ASSERT_EQ(shown.size(), before.size());
                    const Difference d = differenceOf(shown, before);
                    if (zoom >= 1.0)
                        EXPECT_EQ(d.largest, 0);
                    else
                        EXPECT_LT(d.mean, 2.5);
                    EXPECT_EQ(renderer.fullRows() != nullptr, zoom > 0.5 && (zoom != 1.0 || scroll != 0));
                }
            }
        }
    }
}

TEST(LiveRenderer, ADamagedFrameIsNotComposed)
{
    const Jpeg j = microscopeFrame(640, 480);
    LiveRenderer renderer;
    LiveViewSettings s;
    for (double zoom : {1.0, 0.5, 2.0}) {
        s.zoomX = s.zoomY = zoom;
        EXPECT_FALSE(renderer.render(j.bytes.data(), j.bytes.size() / 3, FormatMJPG, j.w, j.h, s));
        EXPECT_FALSE(renderer.render(j.bytes.data(), j.bytes.size(), FormatMJPG, 800, 600, s));
    }
}

// The crosshair marks the frame point that was clicked: on a scrolled
// picture it stands where that point is shown, under the mouse.
TEST(LiveRenderer, CrosshairFollowsTheScrolledPicture)
{
    const Jpeg j = microscopeFrame(640, 480);
    LiveRenderer renderer;
    LiveViewSettings s;
    s.overlay.mode = measure::OverlayCrosshair;
    s.overlay.colour = QColor(255, 0, 255);
    s.overlay.crossX = 300;
    s.overlay.crossY = 200;
    const QColor magenta(255, 0, 255);
    for (double zoom : {1.0, 2.0}) {
        s.zoomX = s.zoomY = zoom;
        s.scrollX = 120;
        s.scrollY = 90;
        const QImage& shown = rendered(renderer, j, s);
        const int x = static_cast<int>(300 * zoom + 0.5) - 120, y = static_cast<int>(200 * zoom + 0.5) - 90;
        EXPECT_EQ(QColor(shown.pixel(x, 3)), magenta) << zoom;
        EXPECT_EQ(QColor(shown.pixel(3, y)), magenta) << zoom;
        EXPECT_NE(QColor(shown.pixel(static_cast<int>(300 * zoom + 0.5), 3)), magenta) << zoom;
    }
}

TEST(LiveRenderer, OverlayMeasurementsAndStatusTextAreDrawnOnTop)
{
    const Jpeg j = microscopeFrame(640, 480);
    LiveRenderer renderer;
    LiveViewSettings s;
    s.zoomX = s.zoomY = 0.5;
    s.overlay.mode = measure::OverlayGrid;
    s.overlay.spacing = 40;
    s.overlay.colour = QColor(255, 0, 255);
    s.statusText = QStringLiteral("Recording......");
    const QImage& shown = rendered(renderer, j, s);
    EXPECT_EQ(shown.size(), QSize(320, 240));
    EXPECT_EQ(QColor(shown.pixel(100, 20)), QColor(255, 0, 255));  // the first grid line, zoomed
    // The status text sits bottom left, clear of the scale bars top left,
    // and is tall enough to read.
    const auto greenRows = [&](int top, int bottom, int right) {
        int rows = 0;
        for (int y = top; y < bottom; ++y) {
            bool green = false;
            for (int x = 0; x < right && !green; ++x)
                green = QColor(shown.pixel(x, y)) == QColor(0, 255, 0);
            rows += green;
        }
        return rows;
    };
    EXPECT_EQ(greenRows(0, 50, 160), 0);
    EXPECT_GE(greenRows(180, 240, 200), 12);
}

// Where a measurement and the overlay cross, the live picture shows what a
// snapshot of it keeps: the measurements first, the overlay over them.
TEST(LiveRenderer, TheScreenShowsWhatASnapshotBurnsIn)
{
    const Jpeg j = microscopeFrame(320, 240);
    measure::MeasureState state;
    auto records = std::make_shared<measure::VideoShapeList>();
    auto line = std::make_unique<measure::CShape>();
    line->kind = 1;
    line->live = true;
    line->inProgress = 0;
    line->lineColour = QColor(0, 255, 0);
    line->lineWidth = 3;
    line->points = {{{20, 100}, {200, 100}, {110, 90}}};
    line->value1 = 180;
    records->push_back(std::move(line));

    LiveViewSettings s;
    s.overlay.mode = measure::OverlayCrosshair;
    s.overlay.crossX = 100;
    s.overlay.crossY = 160;
    s.overlay.colour = QColor(255, 0, 255);
    s.shapes = records;
    s.measure = state;
    LiveRenderer renderer;
    const QImage shown = rendered(renderer, j, s).copy();

    QImage frame(j.w, j.h, QImage::Format_RGB32);
    ASSERT_TRUE(mjpegToDisplay(j.bytes.data(), j.bytes.size(), reinterpret_cast<uint32_t*>(frame.bits()), j.w, j.h,
                               int(frame.bytesPerLine() / 4)));
    measure::OverlayParams overlay = s.overlay;
    overlay.frameWidth = j.w;
    overlay.frameHeight = j.h;
    const QImage saved = measure::burntIn(frame, {1, 1, nullptr, records.get(), overlay}, state);
    EXPECT_EQ(QColor(saved.pixel(100, 100)), QColor(255, 0, 255));  // the crosshair over the line
    EXPECT_EQ(QColor(shown.pixel(100, 100)), QColor(saved.pixel(100, 100)));
    const Difference d = differenceOf(shown, saved);
    EXPECT_EQ(d.largest, 0) << "mean " << d.mean;
}
