#include "capture/core/live_zoom.h"
#include "capture/core/recording_clock.h"

#include <gtest/gtest.h>

using namespace capture;

TEST(LiveZoom, ZoomOutStepsDownToATenthAndStops)
{
    LiveZoom z;
    z.x = z.y = 0.2;
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 0.1);
    EXPECT_DOUBLE_EQ(z.y, 0.1);
    EXPECT_FALSE(z.zoomOutAllowed);
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 0.1);
}

TEST(LiveZoom, ZoomOutLeavesLargeZoomsAlone)
{
    LiveZoom z;
    z.x = z.y = 2.0;
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 2.0);
    EXPECT_DOUBLE_EQ(z.y, 2.0);
    z.x = z.y = 1.9;
    z.zoomInAllowed = false;
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 1.8);
    EXPECT_TRUE(z.zoomInAllowed);
}

TEST(LiveZoom, ZoomOutRoundsBeforeStepping)
{
    // 1.04 is shown as 1.0 and steps to 0.9; the vertical zoom follows.
    LiveZoom z;
    z.x = 1.04;
    z.y = 0.5;
    zoomOutStep(z);
    EXPECT_DOUBLE_EQ(z.x, 0.9);
    EXPECT_DOUBLE_EQ(z.y, 0.9);
}

TEST(LiveZoom, FullScreenFitsUniformlyThenStretches)
{
    LiveZoom z;
    const QSize area(1000, 600), picture(640, 480);
    EXPECT_TRUE(fullScreenZoom(z, area, picture));
    EXPECT_DOUBLE_EQ(z.x, 600.0 / 480.0);
    EXPECT_DOUBLE_EQ(z.y, 600.0 / 480.0);
    EXPECT_FALSE(fullScreenZoom(z, area, picture));
    EXPECT_DOUBLE_EQ(z.x, 1000.0 / 640.0);
    EXPECT_DOUBLE_EQ(z.y, 600.0 / 480.0);
    EXPECT_TRUE(fullScreenZoom(z, area, picture));  // and round again
}

TEST(LiveZoom, FullScreenWithNoRoomKeepsTheZoom)
{
    LiveZoom z;
    z.x = z.y = 0.5;
    EXPECT_FALSE(fullScreenZoom(z, QSize(-20, -40), QSize(640, 480)));
    EXPECT_DOUBLE_EQ(z.x, 0.5);
}

TEST(LiveZoom, StatusText)
{
    LiveZoom z;
    z.x = 1.25;
    z.y = 0.5;
    EXPECT_EQ(zoomStatusText(z), QStringLiteral("W 125% : H 50%"));
}

TEST(RecordingClock, LimitOfTenWritesUntilTheEleventhTickAndClosesAtTheThirteenth)
{
    RecordingClock clock;
    clock.start(10);
    for (int second = 1; second <= 10; ++second) {
        ASSERT_EQ(clock.tick(), RecordingClock::Tick::ShowElapsed);
        EXPECT_EQ(clock.elapsedText(QStringLiteral("Seconds")), QStringLiteral("%1 Seconds").arg(second, 2));
    }
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::StopWriting);
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::Waiting);
    EXPECT_TRUE(clock.active());
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::Close);
    EXPECT_FALSE(clock.active());
}

TEST(RecordingClock, StoppedByHandStopsWritingAtTheNextTick)
{
    RecordingClock clock;
    clock.start(100);
    clock.tick();
    clock.stopByHand();
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::StopWriting);
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::Waiting);
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::Close);
}

TEST(RecordingClock, ZeroLimitStopsAtTheFirstTick)
{
    RecordingClock clock;
    clock.start(0);
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::StopWriting);
}
