#include "measure/core/tick_finder.h"

#include "capture/core/stage_micrometer.h"

#include <gtest/gtest.h>

#include <QSize>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <vector>

using measure::findTicks;
using measure::PixelRows;
using measure::TickScale;

namespace {

constexpr double kDegree = std::numbers::pi / 180;

struct GreyPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> grey;
    PixelRows rows() const { return {grey.data(), width, height, width, 1}; }
};

// A ruled scale drawn exactly: dark ticks `period` pixels apart along
// `axisAngle`, `tickWidth` wide and `tickHeight` tall above a base line through
// `origin`, ticks 5 and 10 taller; each pixel is the mean of 4 x 4 points.
struct Ruler {
    QPointF origin{60, 200};
    double axisAngle = 0;
    double period = 7.3;
    double tickWidth = 1.6;
    double tickHeight = 40;
    int divisions = 60;
    std::set<int> missing;

    double inkAt(double x, double y) const
    {
        const double ca = std::cos(axisAngle), sa = std::sin(axisAngle);
        const double along = (x - origin.x()) * ca + (y - origin.y()) * sa;
        const double up = -((y - origin.y()) * ca - (x - origin.x()) * sa);  // above the base line
        const int k = static_cast<int>(std::lround(along / period));
        if (k < 0 || k > divisions || missing.count(k) || up < 0)
            return 0;
        const double height = tickHeight * (k % 10 == 0 ? 2 : k % 5 == 0 ? 1.5 : 1);
        return std::abs(along - k * period) <= tickWidth / 2 && up <= height ? 1 : 0;
    }

    GreyPicture draw(int width, int height) const
    {
        GreyPicture p{width, height, std::vector<uint8_t>(size_t(width) * height)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                double ink = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i)
                        ink += inkAt(x + (i + 0.5) / 4 - 0.5, y + (j + 0.5) / 4 - 0.5);
                p.grey[size_t(y) * width + x] = static_cast<uint8_t>(std::lround(220 - 180 * ink / 16));
            }
        return p;
    }

    // Where the base line's tick k stands, shifted `up` pixels along the ticks.
    QPointF tick(double k, double up) const
    {
        const QPointF axis(std::cos(axisAngle), std::sin(axisAngle));
        const QPointF tickUp(axis.y(), -axis.x());
        return origin + axis * (k * period) + tickUp * up;
    }
};

void blur(GreyPicture& p, double sigma)
{
    const int reach = static_cast<int>(std::ceil(3 * sigma));
    std::vector<double> kernel;
    for (int i = -reach; i <= reach; ++i)
        kernel.push_back(std::exp(-i * i / (2 * sigma * sigma)));
    double total = 0;
    for (double k : kernel)
        total += k;
    std::vector<double> a(p.grey.begin(), p.grey.end()), b(a.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                double sum = 0;
                for (int i = -reach; i <= reach; ++i) {
                    const int xx = pass ? x : std::clamp(x + i, 0, p.width - 1);
                    const int yy = pass ? std::clamp(y + i, 0, p.height - 1) : y;
                    sum += kernel[size_t(i + reach)] * a[size_t(yy) * p.width + xx];
                }
                b[size_t(y) * p.width + x] = sum / total;
            }
        a.swap(b);
    }
    for (size_t i = 0; i < a.size(); ++i)
        p.grey[i] = static_cast<uint8_t>(std::clamp(std::lround(a[i]), 0L, 255L));
}

void addNoise(GreyPicture& p, double sigma, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, sigma);
    for (uint8_t& v : p.grey)
        v = static_cast<uint8_t>(std::clamp(std::lround(v + noise(random)), 0L, 255L));
}

double scaleError(const TickScale& s, double truePeriod)
{
    return std::abs(s.lengthPixels / s.divisions / truePeriod - 1);
}

TEST(TickFinder, MeasuresACleanRulerToTheTickNumber)
{
    const Ruler ruler;
    const GreyPicture p = ruler.draw(560, 300);
    // From between ticks 2 and 3 to between ticks 55 and 56: ticks 3 .. 55.
    const TickScale s = findTicks(p.rows(), QLineF(ruler.tick(2.4, 15), ruler.tick(55.5, 15)));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.divisions, 52);
    EXPECT_EQ(s.ticks.size(), 53u);
    EXPECT_LT(scaleError(s, ruler.period), 0.0005);
    EXPECT_NEAR(s.ticks.front().x(), ruler.tick(3, 15).x(), 0.2);
    EXPECT_NEAR(s.ticks.front().y(), 185, 0.1);
    EXPECT_GT(s.quality, 0.5);
}

TEST(TickFinder, KeepsThePeriodThroughNoiseBlurAndUnevenLight)
{
    const Ruler ruler;
    GreyPicture p = ruler.draw(560, 300);
    // Light falling from the left to a third at the right, a soft focus and sensor noise.
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t& v = p.grey[size_t(y) * p.width + x];
            v = static_cast<uint8_t>(v * (1 - 0.65 * x / p.width));
        }
    blur(p, 1.4);
    addNoise(p, 12, 7);
    const TickScale s = findTicks(p.rows(), QLineF(ruler.tick(0.5, 20), ruler.tick(59.5, 20)));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.divisions, 58);
    EXPECT_LT(scaleError(s, ruler.period), 0.0005);
}

TEST(TickFinder, CountsAcrossMissingTicksAndLabels)
{
    Ruler ruler;
    ruler.missing = {12, 13, 31};
    ruler.tickWidth = 2.2;
    GreyPicture p = ruler.draw(560, 300);
    // Numbers printed across the line: dark strokes between ticks and over them.
    for (double k : {10.0, 20.0, 30.4, 40.6, 50.0})
        for (int y = 172; y < 190; ++y)
            for (int x = 0; x < 9; ++x)
                if ((x + y) % 5 < 2 || x < 2)
                    p.grey[size_t(y) * p.width + static_cast<int>(ruler.tick(k, 0).x()) - 3 + x] = 30;
    const TickScale s = findTicks(p.rows(), QLineF(ruler.tick(-1, 20), ruler.tick(61, 20)));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.divisions, 60);
    EXPECT_LT(scaleError(s, ruler.period), 0.0005);
    EXPECT_LE(s.ticks.size(), 58u);
}

TEST(TickFinder, MeasuresAcrossTheTicksForALineAtThirtyDegrees)
{
    Ruler ruler;
    ruler.axisAngle = 12 * kDegree;  // the slide lies turned, too
    ruler.origin = QPointF(40, 300);
    ruler.tickHeight = 260;
    ruler.period = 9.1;
    ruler.divisions = 50;
    GreyPicture p = ruler.draw(560, 440);
    addNoise(p, 6, 3);
    // 30 degrees to the ruler's axis, across 35 divisions' width.
    const QPointF start = ruler.tick(4.5, 30);
    const QPointF axis(std::cos(ruler.axisAngle - 30 * kDegree), std::sin(ruler.axisAngle - 30 * kDegree));
    const QPointF end = start + (axis * (35 * ruler.period / std::cos(30 * kDegree)));
    const TickScale s = findTicks(p.rows(), QLineF(start, end));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.divisions, 34);  // ticks 5 to 39
    EXPECT_LT(scaleError(s, ruler.period), 0.0005);
    EXPECT_NEAR(std::abs(std::atan(s.tilt)) / kDegree, 30, 0.3);
}

// The simulated microscope's frames, at the smallest and largest sizes and
// one between, with the specimen's grain and the sensor's noise: lines along
// the scale, level and slanting, over 20 to 95 divisions.
TEST(TickFinder, FindsTheSimulatedMicroscopesScaleWithinATwentiethOfAPercent)
{
    uint8_t lut[3][256];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            lut[c][v] = static_cast<uint8_t>(v);
    std::mt19937 random(11);
    for (const QSize size : {QSize(640, 480), QSize(1280, 1024), QSize(2592, 1944)}) {
        capture::StageMicrometer slide;
        slide.prepare(size.width(), size.height());
        std::vector<uint8_t> bgr(size_t(size.width()) * size.height() * 3);
        const int t = 7;
        slide.frame(t, lut, bgr.data());
        const PixelRows rows{bgr.data(), size.width(), size.height(), size.width() * 3, 3};
        const double division = slide.pixelsPerMm() / capture::StageMicrometer::kDivisions;
        const QPointF zero = slide.scaleOrigin(t);
        const double band = slide.shortTickHeight();
        for (int line = 0; line < 4; ++line) {
            const double from = std::uniform_real_distribution<double>(0.3, 70)(random);
            const double span = std::uniform_real_distribution<double>(20, 99.4 - from)(random);
            const double rise = std::uniform_real_distribution<double>(0.25, 0.75)(random) * band;
            const double slope = std::uniform_real_distribution<double>(-0.2, 0.2)(random) * band;
            const QPointF a = zero + QPointF(from * division, -rise + slope);
            const QPointF b = zero + QPointF((from + span) * division, -rise - slope);
            const TickScale s = findTicks(rows, QLineF(a, b));
            ASSERT_TRUE(s.found) << size.width() << " line " << line;
            EXPECT_LT(scaleError(s, division), 0.0005) << size.width() << " line " << line;
        }
    }
}

TEST(TickFinder, FindsNothingWhereNoScaleIs)
{
    std::mt19937 random(5);
    GreyPicture flat{400, 300, std::vector<uint8_t>(400 * 300, 128)};
    GreyPicture noise = flat;
    addNoise(noise, 30, 1);
    GreyPicture texture = noise;
    blur(texture, 2.5);
    for (uint8_t& v : texture.grey)
        v = static_cast<uint8_t>(std::clamp((v - 128) * 6 + 128, 0, 255));
    // Round cells of many sizes.
    GreyPicture cells = flat;
    for (int c = 0; c < 40; ++c) {
        const double cx = random() % 400, cy = random() % 300, r = 5 + random() % 20;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                if (std::hypot(x - cx, y - cy) < r)
                    cells.grey[size_t(y) * 400 + x] = static_cast<uint8_t>(60 + (c * 37) % 120);
    }
    addNoise(cells, 4, 2);
    for (const GreyPicture* p : {&flat, &noise, &texture, &cells})
        for (int i = 0; i < 6; ++i) {
            const QPointF a(10 + random() % 100, 10 + random() % 280), b(200 + random() % 190, 10 + random() % 280);
            EXPECT_FALSE(findTicks(p->rows(), QLineF(a, b)).found) << i;
        }

    // The simulated slide away from its scale: cells, grain and noise only.
    uint8_t lut[3][256];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            lut[c][v] = static_cast<uint8_t>(v);
    capture::StageMicrometer slide;
    slide.prepare(640, 480);
    std::vector<uint8_t> bgr(640 * 480 * 3);
    slide.frame(0, lut, bgr.data());
    const PixelRows rows{bgr.data(), 640, 480, 640 * 3, 3};
    for (int y = 20; y < 200; y += 30)
        EXPECT_FALSE(findTicks(rows, QLineF(20, y, 620, y + 15)).found) << y;

    // Hostile input: no pixels, a line of no length, lines off the picture.
    EXPECT_FALSE(findTicks(PixelRows{}, QLineF(0, 0, 100, 0)).found);
    EXPECT_FALSE(findTicks(rows, QLineF(50, 50, 50, 50)).found);
    EXPECT_FALSE(findTicks(rows, QLineF(-5000, -5000, -1000, -4000)).found);
    EXPECT_FALSE(findTicks(rows, QLineF(0, 240, 1e12, 240)).found);
}

}  // namespace
