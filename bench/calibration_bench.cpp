// How true a calibration found on the stage micrometer is, beside the manual
// way, on the simulated microscope's frames (specimen grain and sensor noise
// on) at 640 x 480 and 2592 x 1944, whose scale is known exactly.
//  - Detect: the ticks found along a line drawn over the scale; the scale is
//    their fitted length over their number of divisions. Goal: at most
//    0.05 % off the true scale on every line.
//  - Two clicks: the same first and last tick clicked one pixel off each, in
//    a random direction (what a careful hand gets), on the same lines.
// Lines run along the scale over 20 to 99 divisions, slanting within the
// short ticks; the slide lies level, then turned by up to 35 degrees either
// way (the frame turned about its centre, which keeps its scale).
//   build/release/bin/calibration_bench [lines per set]
#include "measure/core/tick_finder.h"

#include "capture/core/stage_micrometer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kGoal = 0.05;  // percent

// The frame turned by `angle` about its centre, bilinear.
std::vector<uint8_t> turned(const std::vector<uint8_t>& bgr, int width, int height, double angle)
{
    std::vector<uint8_t> out(bgr.size());
    const double c = std::cos(angle), s = std::sin(angle), cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double sx = std::clamp(c * (x - cx) + s * (y - cy) + cx, 0.0, width - 1.001);
            const double sy = std::clamp(-s * (x - cx) + c * (y - cy) + cy, 0.0, height - 1.001);
            const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
            const double fx = sx - x0, fy = sy - y0;
            for (int k = 0; k < 3; ++k) {
                auto at = [&](int xx, int yy) { return double(bgr[(size_t(yy) * width + xx) * 3 + k]); };
                const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
                const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
                out[(size_t(y) * width + x) * 3 + k] = static_cast<uint8_t>(std::lround(top + (bottom - top) * fy));
            }
        }
    return out;
}

struct Tally {
    int lines = 0, missed = 0, overGoal = 0;
    double worstDetect = 0, worstClicks = 0, squaresDetect = 0, squaresClicks = 0;
    double seconds = 0;
};

void runSet(int width, int height, bool turn, int count, std::mt19937& random)
{
    capture::StageMicrometer slide;
    slide.prepare(width, height);
    uint8_t lut[3][256];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            lut[c][v] = static_cast<uint8_t>(v);
    std::vector<uint8_t> frame(size_t(width) * height * 3);
    const double division = slide.pixelsPerMm() / capture::StageMicrometer::kDivisions;
    const double band = slide.shortTickHeight();
    std::uniform_real_distribution<double> unit(0, 1);

    std::printf("\n%d x %d, slide %s (%.4f px a division)\n", width, height, turn ? "turned" : "level", division);
    std::printf("  line  turn    from  divs  slant   detect %%   two clicks %%\n");
    Tally tally;
    for (int line = 0; line < count; ++line) {
        const int t = line * 13;
        slide.frame(t, lut, frame.data());
        const double angle = turn ? (unit(random) * 70 - 35) * std::numbers::pi / 180 : 0.0;
        const std::vector<uint8_t> picture = turn ? turned(frame, width, height, angle) : frame;
        const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
        // A point of the level slide, as the (turned) frame shows it.
        auto place = [&](QPointF p) {
            const double c = std::cos(angle), s = std::sin(angle);
            return QPointF(c * (p.x() - cx) - s * (p.y() - cy) + cx, s * (p.x() - cx) + c * (p.y() - cy) + cy);
        };
        const QPointF zero = slide.scaleOrigin(t) - QPointF(0.5, 0.5);  // pixel centres
        // The turned frame loses its corners: keep the line inside it.
        double from = 0, span = 0;
        QPointF a, b;
        for (int tries = 0; tries < 100; ++tries) {
            from = 0.3 + unit(random) * 70;
            span = 20 + unit(random) * (79.1 - from);
            const double rise = (0.25 + unit(random) * 0.5) * band, slope = (unit(random) - 0.5) * 0.4 * band;
            a = place(zero + QPointF(from * division, -rise + slope));
            b = place(zero + QPointF((from + span) * division, -rise - slope));
            if (QRectF(4, 4, width - 8, height - 8).contains(a) && QRectF(4, 4, width - 8, height - 8).contains(b))
                break;
        }
        const measure::PixelRows rows{picture.data(), width, height, width * 3, 3};
        QElapsedTimer timer;
        timer.start();
        const measure::TickScale s = measure::findTicks(rows, QLineF(a, b));
        tally.seconds += timer.nsecsElapsed() / 1e9;
        ++tally.lines;
        if (!s.found) {
            ++tally.missed;
            std::printf("  %4d %5.1f %7.1f   --- nothing found\n", line, angle * 180 / std::numbers::pi, from);
            continue;
        }
        const double detect = 100 * (s.lengthPixels / s.divisions / division - 1);
        // The same ticks clicked, each click a pixel off.
        const double truth = s.divisions * division;
        const double da = unit(random) * 2 * std::numbers::pi, db = unit(random) * 2 * std::numbers::pi;
        const QPointF clicked = QPointF(truth, 0) + QPointF(std::cos(db), std::sin(db)) - QPointF(std::cos(da), std::sin(da));
        const double clicks = 100 * (std::hypot(clicked.x(), clicked.y()) / truth - 1);
        std::printf("  %4d %5.1f %7.1f %5d %6.2f %+10.4f %+12.4f\n", line, angle * 180 / std::numbers::pi, from, s.divisions,
                    std::atan(s.tilt) * 180 / std::numbers::pi, detect, clicks);
        tally.worstDetect = std::max(tally.worstDetect, std::abs(detect));
        tally.worstClicks = std::max(tally.worstClicks, std::abs(clicks));
        tally.squaresDetect += detect * detect;
        tally.squaresClicks += clicks * clicks;
        tally.overGoal += std::abs(detect) > kGoal;
    }
    const int measured = tally.lines - tally.missed;
    std::printf(
        "  %d lines, %d found; worst %.4f %% (rms %.4f %%) detected against %.4f %% (rms %.4f %%) by two clicks; "
        "%d over the goal of %.2f %%; %.1f ms a line\n",
        tally.lines, measured, tally.worstDetect, std::sqrt(tally.squaresDetect / std::max(1, measured)), tally.worstClicks,
        std::sqrt(tally.squaresClicks / std::max(1, measured)), tally.overGoal, kGoal,
        1000 * tally.seconds / std::max(1, tally.lines));
}

}  // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);  // the slide's numbers are drawn in a font
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 12;
    std::mt19937 random(2026);
    for (const auto& [w, h] : {std::pair{640, 480}, std::pair{2592, 1944}})
        for (const bool turn : {false, true})
            runSet(w, h, turn, count, random);
    return 0;
}
