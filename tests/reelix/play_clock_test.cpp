#include "reelix/core/play_clock.h"

#include <gtest/gtest.h>

using namespace reelix;

TEST(TimeLabel, ShowsTheTimeAndTheLengthInWholeSeconds)
{
    EXPECT_EQ(timeLabelText(0, 0), QStringLiteral("[00:00:00/00:00:00]"));
    EXPECT_EQ(timeLabelText(30000, 3723000), QStringLiteral("[00:00:30/01:02:03]"));
    EXPECT_EQ(timeLabelText(30999, 61000), QStringLiteral("[00:00:30/00:01:01]"));
}

TEST(TimeLabel, HoursWrapAtADay)
{
    EXPECT_EQ(timeLabelText(25 * 3600000LL + 1000, 24 * 3600000LL), QStringLiteral("[01:00:01/00:00:00]"));
}

TEST(SliderPosition, IsThePercentagePlayedTruncated)
{
    EXPECT_EQ(sliderPositionFor(30000, 3723000), 0);
    EXPECT_EQ(sliderPositionFor(30500, 61000), 50);
    EXPECT_EQ(sliderPositionFor(60999, 61000), 99);
    EXPECT_EQ(sliderPositionFor(61000, 61000), 100);
}

TEST(SliderPosition, StaysInTheSliderWhateverTheReport)
{
    EXPECT_EQ(sliderPositionFor(5000, 0), 0);
    EXPECT_EQ(sliderPositionFor(-40, 1000), 0);
    EXPECT_EQ(sliderPositionFor(1200, 1000), 100);
}

TEST(SeekTime, IsAHundredthOfTheLengthTimesThePosition)
{
    EXPECT_EQ(seekTimeFor(61000, 50), 30500);
    EXPECT_EQ(seekTimeFor(61099, 50), 30500);  // the hundredth is truncated first
    EXPECT_EQ(seekTimeFor(3723000, 1), 37230);
    EXPECT_EQ(seekTimeFor(0, 70), 0);
    EXPECT_EQ(seekTimeFor(61000, 100), 61000);
}
