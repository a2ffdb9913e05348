// The zoom steps of the picture and live windows.
#include "picture/core/picture_zoom.h"

#include <gtest/gtest.h>

using namespace picture;

TEST(ZoomSteps, ZoomOutStepsDownToATenthAndStops)
{
    PictureZoom z;
    z.x = z.y = 0.2;
    zoomOutStep(z, true);
    EXPECT_DOUBLE_EQ(z.x, 0.1);
    EXPECT_DOUBLE_EQ(z.y, 0.1);
    EXPECT_FALSE(z.zoomOutAllowed);
    zoomOutStep(z, true);
    EXPECT_DOUBLE_EQ(z.x, 0.1);
}

TEST(ZoomSteps, ZoomOutLeavesLargeZoomsAlone)
{
    PictureZoom z;
    z.x = z.y = 2.0;
    zoomOutStep(z, true);
    EXPECT_DOUBLE_EQ(z.x, 2.0);
    EXPECT_DOUBLE_EQ(z.y, 2.0);
    z.x = z.y = 1.9;
    z.zoomInAllowed = false;
    zoomOutStep(z, true);
    EXPECT_DOUBLE_EQ(z.x, 1.8);
    EXPECT_TRUE(z.zoomInAllowed);
}

TEST(ZoomSteps, ZoomOutRoundsBeforeStepping)
{
    // 1.04 is shown as 1.0 and steps to 0.9; a live window's vertical zoom follows.
    PictureZoom z;
    z.x = 1.04;
    z.y = 0.5;
    zoomOutStep(z, true);
    EXPECT_DOUBLE_EQ(z.x, 0.9);
    EXPECT_DOUBLE_EQ(z.y, 0.9);
}

TEST(ZoomSteps, FullScreenFitsUniformlyThenStretches)
{
    PictureZoom z;
    const QSize area(1000, 600), picture(640, 480);
    EXPECT_TRUE(fullScreenZoom(z, area, picture));
    EXPECT_DOUBLE_EQ(z.x, 600.0 / 480.0);
    EXPECT_DOUBLE_EQ(z.y, 600.0 / 480.0);
    EXPECT_FALSE(fullScreenZoom(z, area, picture));
    EXPECT_DOUBLE_EQ(z.x, 1000.0 / 640.0);
    EXPECT_DOUBLE_EQ(z.y, 600.0 / 480.0);
    EXPECT_TRUE(fullScreenZoom(z, area, picture));  // and round again
}

TEST(ZoomSteps, FullScreenWithNoRoomKeepsTheZoom)
{
    PictureZoom z;
    z.x = z.y = 0.5;
    EXPECT_FALSE(fullScreenZoom(z, QSize(-20, -40), QSize(640, 480)));
    EXPECT_DOUBLE_EQ(z.x, 0.5);
}

TEST(ZoomSteps, StatusText)
{
    PictureZoom z;
    z.x = 1.25;
    z.y = 0.5;
    EXPECT_EQ(zoomText(z), QStringLiteral("W 125% : H 50%"));
}

TEST(ZoomSteps, PictureWindowsStepEachAxis)
{
    PictureZoom z;
    z.x = 1.5;
    z.y = 0.2;
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 1.4);
    EXPECT_DOUBLE_EQ(z.y, 0.1);
    EXPECT_FALSE(z.zoomOutAllowed);  // one axis reached the bottom
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 1.4);  // stays until Normal
    normalZoom(z);
    EXPECT_TRUE(z.zoomOutAllowed);
}
