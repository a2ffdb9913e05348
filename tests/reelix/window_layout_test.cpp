#include "reelix/core/window_layout.h"

#include <gtest/gtest.h>

using namespace reelix;

TEST(WindowLayout, OpensWithTheFixedPlacement)
{
    const WindowLayout layout = layoutFor(kInitialClientSize);
    EXPECT_EQ(layout.videoArea, QRect(2, 1, 589, 410));
    EXPECT_EQ(layout.groupFrame, QRect(5, 410, 585, 60));
    EXPECT_EQ(layout.slider, QRect(210, 425, 375, 20));
}

TEST(WindowLayout, EnlargedTheFrameAndSliderFollowTheBottomEdgeWithTheFrameCentred)
{
    const WindowLayout layout = layoutFor(kInitialClientSize + QSize(100, 50));
    EXPECT_EQ(layout.videoArea, QRect(7, 7, 695 - 14, 525 - 134));
    EXPECT_EQ(layout.groupFrame, QRect(55, 460, 585, 60));
    EXPECT_EQ(layout.groupFrame.center().x(), 695 / 2);
    EXPECT_EQ(layout.slider, QRect(260, 475, 375, 20));
    // The frame keeps its distance to the bottom edge.
    EXPECT_EQ(525 - layout.groupFrame.bottom(), kInitialClientSize.height() - layoutFor(kInitialClientSize).groupFrame.bottom());
    EXPECT_EQ(layout.controlsShift, QPoint(50, 50));
}

TEST(WindowLayout, ButtonsNeverLieOnThePicture)
{
    EXPECT_EQ(layoutFor(kInitialClientSize).controlsShift, QPoint(0, 0));
    for (const QSize grown : {QSize(0, 77), QSize(0, 400), QSize(600, 300)}) {
        const WindowLayout layout = layoutFor(kInitialClientSize + grown);
        const QRect button = QRect(QPoint(kButtonLefts[0], kButtonTop) + layout.controlsShift, kButtonSize);
        const QRect label = kTimeLabelRect.translated(layout.controlsShift);
        EXPECT_FALSE(button.intersects(layout.videoArea)) << grown.width() << "x" << grown.height();
        EXPECT_FALSE(label.intersects(layout.videoArea)) << grown.width() << "x" << grown.height();
        EXPECT_TRUE(layout.groupFrame.contains(label));
    }
}
