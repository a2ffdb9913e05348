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
}
