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
