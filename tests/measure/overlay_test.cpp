// Overlay geometry by pixels.
#include "measure/core/overlay_painter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace measure;

namespace {

QImage draw(const measure::OverlayParams& o)
{
    QImage img(static_cast<int>(o.frameWidth * o.zoomX + 0.5), static_cast<int>(o.frameHeight * o.zoomY + 0.5),
               QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    measure::paintOverlay(p, o);
    return img;
}

// The first pixel where two pictures differ, as text ("" when none).
std::string firstDifference(const QImage& a, const QImage& b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(a.pixel(x, y)) + " vs "
                    + std::to_string(b.pixel(x, y));
    return {};
}

bool red(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y)) == QColor(Qt::red);
}

}  // namespace

TEST(Overlay, CrosshairAtItsZoomedPosition)
{
    measure::OverlayParams o;
    o.frameWidth = 200;
    o.frameHeight = 100;
    o.mode = measure::OverlayCrosshair;
    o.crossX = 50;
    o.crossY = 30;
    o.zoomX = o.zoomY = 2;
    const QImage img = draw(o);
    EXPECT_TRUE(red(img, 10, 60));
    EXPECT_TRUE(red(img, 399, 60));
    EXPECT_TRUE(red(img, 100, 5));
    EXPECT_FALSE(red(img, 10, 61));
}

TEST(Overlay, GridLinesEverySpacingAndWhiteScaleBars)
{
    measure::OverlayParams o;
    o.frameWidth = 200;
    o.frameHeight = 100;
    o.mode = measure::OverlayGrid;
    o.spacing = 30;
    o.label = QStringLiteral("0.1mm");
    const QImage img = draw(o);
    for (int y : {30, 60, 90})
        EXPECT_TRUE(red(img, 150, y)) << y;
    for (int x : {90, 120, 150, 180})
        EXPECT_TRUE(red(img, x, 95)) << x;
    EXPECT_FALSE(red(img, 155, 45));
    EXPECT_EQ(QColor(img.pixel(35, 20)), QColor(Qt::white));  // the horizontal scale bar
}

TEST(Overlay, CircleGridAndScaleCrossAroundTheCentre)
{
    measure::OverlayParams o;
    o.frameWidth = 200;
    o.frameHeight = 200;
    o.mode = measure::OverlayCircleGrid;
    o.spacing = 40;
    QImage img = draw(o);
    EXPECT_TRUE(red(img, 100, 100));                                  // the centre cross
    EXPECT_TRUE(red(img, 100 + 40, 100) || red(img, 100 + 39, 100));  // the first ring
    o.mode = measure::OverlayScaleCross;
    o.spacing = 10;
    img = draw(o);
    EXPECT_TRUE(red(img, 5, 100));     // the horizontal axis
    EXPECT_TRUE(red(img, 100, 195));   // the vertical axis
    EXPECT_TRUE(red(img, 150, 110));   // the tick five steps out reaches 10 pixels
    EXPECT_FALSE(red(img, 140, 110));  // four steps out: 5 pixels
    EXPECT_EQ(measure::scaleTickHalfLength(0), 5);
    EXPECT_EQ(measure::scaleTickHalfLength(5), 10);
    EXPECT_EQ(measure::scaleTickHalfLength(10), 20);
    EXPECT_EQ(measure::scaleTickHalfLength(15), 10);
    o.mode = measure::OverlayNone;
    img = draw(o);
    EXPECT_EQ(img.pixel(100, 100), QColor(Qt::black).rgb());
}

// The overlay's straight lines filled as rectangles must light exactly the
// pixels the painter's own line drawing lights, wherever they fall.
TEST(Overlay, AxisLinesFilledAsRectsLightTheSamePixelsAsLines)
{
    const QList<QLine> lines{{0, 7, 40, 7},    {5, 0, 5, 30}, {40, 3, 2, 3},   {9, 30, 9, 1},   {-10, 12, 80, 12},
                             {12, -5, 12, 90}, {0, 0, 0, 0},  {47, 0, 47, 31}, {0, 31, 47, 31}, {3, 200, 9, 200}};
    const QList<QPen> pens{QPen(Qt::red, 1), QPen(QColor(0, 200, 30, 128), 1), QPen(Qt::blue, 0)};
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        for (const QPen& pen : pens) {
            for (const QPoint shift : {QPoint(0, 0), QPoint(3, -2)}) {
                QImage asLines(48, 32, format), asRects(48, 32, format);
                asLines.fill(QColor(20, 20, 20));
                asRects.fill(QColor(20, 20, 20));
                QPainter a(&asLines), b(&asRects);
                for (QPainter* p : {&a, &b}) {
                    p->translate(shift);
                    p->setPen(pen);
                }
                ASSERT_TRUE(measure::axisLinesAsRects(b));
                for (const QLine& l : lines) {
                    a.drawLine(l);
                    measure::drawAxisLine(b, true, l.x1(), l.y1(), l.x2(), l.y2());
                }
                a.end();
                b.end();
                EXPECT_EQ(firstDifference(asLines, asRects), "")
                    << "format " << format << " pen " << pen.color().name(QColor::HexArgb).toStdString() << " width "
                    << pen.widthF() << " shift " << shift.x();
            }
        }
    }
}

TEST(Overlay, WidePensScaledPaintersAndAntialiasingDrawLines)
{
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter p(&img);
    p.setPen(QPen(Qt::red, 1));
    EXPECT_TRUE(measure::axisLinesAsRects(p));
    p.setPen(QPen(Qt::red, 2));
    EXPECT_FALSE(measure::axisLinesAsRects(p));
    p.setPen(QPen(Qt::red, 1, Qt::DashLine));
    EXPECT_FALSE(measure::axisLinesAsRects(p));
    p.setPen(QPen(Qt::red, 1));
    p.scale(2, 2);
    EXPECT_FALSE(measure::axisLinesAsRects(p));
    p.resetTransform();
    p.setRenderHint(QPainter::Antialiasing);
    EXPECT_FALSE(measure::axisLinesAsRects(p));
}
