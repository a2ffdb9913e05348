// A timed series of still pictures on its own clock: it begins when the wall
// clock has passed the start, keeps its schedule however long each picture
// takes, skips a picture that comes too late instead of taking it late, and
// stops at once.
#include "capture/core/timed_series.h"

#include "fake_series_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

using namespace std::chrono_literals;
using capture::SeriesClock;
using capture::SeriesPlan;
using capture::TimedSeries;
using testing_support::FakeSeriesClock;

namespace {

struct Request {
    int k;
    SeriesClock::MonoTime at;
};

// One series on a fake clock, with what it asked for.
struct SeriesRun {
    std::shared_ptr<FakeSeriesClock> clock = std::make_shared<FakeSeriesClock>(SeriesClock::WallTime(1'900'000'000s));
    TimedSeries series{clock};
    std::vector<Request> requests;  // written by the worker, read once it ended
    std::atomic<bool> ended{false};
    std::atomic<bool> completed{false};
    // How much fake time each picture takes, by k.
    std::function<std::chrono::milliseconds(int)> takes = [](int) { return 0ms; };

    bool start(std::chrono::milliseconds interval, int count, SeriesClock::WallTime start)
    {
        return series.start(
            SeriesPlan{start, interval, count},
            [this](int k) {
                requests.push_back({k, clock->monoNow()});
                clock->advance(takes(k));
            },
            [this](bool done) {
                completed = done;
                ended = true;
                clock->notify();
            });
    }
    bool start(std::chrono::milliseconds interval, int count) { return start(interval, count, clock->wallNow()); }

    // Lets the time jump from wait to wait until the series ends.
    void runToEnd()
    {
        while (!ended) {
            ASSERT_TRUE(clock->awaitWaiter([this] { return ended.load(); }));
            clock->step();
        }
        series.stop();
    }
};

}  // namespace

TEST(TimedSeries, WithoutAnIntervalThePicturesAreAskedForBackToBack)
{
    SeriesRun run;
    ASSERT_TRUE(run.start(0ms, 5));
    run.runToEnd();
    ASSERT_EQ(run.requests.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(run.requests[i].k, i + 1);
        EXPECT_EQ(run.requests[i].at, run.requests[0].at);
    }
    EXPECT_TRUE(run.completed);
}

TEST(TimedSeries, SlowPicturesDoNotMoveTheSchedule)
{
    SeriesRun run;
    run.takes = [](int) { return 300ms; };
    ASSERT_TRUE(run.start(1000ms, 100));
    run.runToEnd();
    ASSERT_EQ(run.requests.size(), 100u);
    const SeriesClock::MonoTime t0 = run.requests[0].at;
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(run.requests[i].k, i + 1);
        EXPECT_LT(std::chrono::abs(run.requests[i].at - (t0 + i * 1s)), 100ms) << "picture " << i + 1;
    }
    EXPECT_EQ(run.series.skipped(), 0);
    EXPECT_TRUE(run.completed);
}

TEST(TimedSeries, APictureMoreThanHalfAnIntervalLateIsSkipped)
{
    SeriesRun run;
    // The third picture holds the worker until 0.7 s past the fourth's moment.
    run.takes = [](int k) { return k == 3 ? 1700ms : 0ms; };
    ASSERT_TRUE(run.start(1000ms, 6));
    run.runToEnd();
    std::vector<int> ks;
    for (const Request& r : run.requests)
        ks.push_back(r.k);
    EXPECT_EQ(ks, (std::vector<int>{1, 2, 3, 5, 6}));
    const SeriesClock::MonoTime t0 = run.requests[0].at;
    EXPECT_EQ(run.requests[3].at, t0 + 4s);
    EXPECT_EQ(run.requests[4].at, t0 + 5s);
    EXPECT_EQ(run.series.skipped(), 1);
    EXPECT_TRUE(run.completed);
}

TEST(TimedSeries, TheSeriesBeginsOnceTheWallClockHasPassedTheStart)
{
    SeriesRun run;
    ASSERT_TRUE(run.start(1000ms, 1, run.clock->wallNow() + 10min));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(run.clock->awaitWaiter([] { return false; }));
        run.clock->step();
    }
    ASSERT_TRUE(run.clock->awaitWaiter([] { return false; }));
    EXPECT_TRUE(run.requests.empty());
    // The machine sleeps past the start: its monotonic clock stood still.
    const SeriesClock::MonoTime woke = run.clock->monoNow();
    run.clock->jumpWall(30min);
    run.runToEnd();
    ASSERT_EQ(run.requests.size(), 1u);
    EXPECT_LE(run.requests[0].at - woke, 1s);
}

TEST(TimedSeries, ASecondStartWhileRunningIsRefused)
{
    SeriesRun run;
    ASSERT_TRUE(run.start(1000ms, 3));
    EXPECT_FALSE(run.start(0ms, 3));
    run.runToEnd();
    std::vector<int> ks;
    for (const Request& r : run.requests)
        ks.push_back(r.k);
    EXPECT_EQ(ks, (std::vector<int>{1, 2, 3}));
}

// The machine's clock: a worker asleep for an hour ends as soon as it is told.
TEST(TimedSeries, StopWakesTheWaitingWorkerAtOnce)
{
    TimedSeries series;
    std::promise<void> first;
    std::atomic<bool> completed{true};
    ASSERT_TRUE(series.start(
        SeriesPlan{std::chrono::system_clock::now(), 1h, 2}, [&](int k) { k == 1 ? first.set_value() : void(); },
        [&](bool done) { completed = done; }));
    ASSERT_EQ(first.get_future().wait_for(10s), std::future_status::ready);
    const auto before = std::chrono::steady_clock::now();
    series.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 50ms);
    EXPECT_FALSE(series.running());
    EXPECT_FALSE(completed);
}
