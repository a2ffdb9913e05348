#include "capture/core/recording_clock.h"

#include <gtest/gtest.h>

using namespace capture;

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
