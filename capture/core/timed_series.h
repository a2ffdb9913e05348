#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace capture {

// The clocks a timed series runs by: the wall clock for its start time, the
// monotonic clock for its schedule, and a wait on the latter that the series
// can cut short. Tests put a clock of their own in its place.
class SeriesClock {
public:
    using WallTime = std::chrono::system_clock::time_point;
    using MonoTime = std::chrono::steady_clock::time_point;

    virtual ~SeriesClock() = default;
    virtual WallTime wallNow() const = 0;
    virtual MonoTime monoNow() const = 0;
    // Sleeps with `lock` released until monoNow() reaches `until` or `wake` is
    // notified. It may return early; the caller looks again.
    virtual void waitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, MonoTime until) = 0;
};

// The machine's clocks.
std::shared_ptr<SeriesClock> systemSeriesClock();

struct SeriesPlan {
    SeriesClock::WallTime start;
    std::chrono::milliseconds interval{0};
    int count = 1;
};

// A series of still pictures on a worker thread. It begins once the wall clock
// has reached the start time (a second missed while the machine was busy or
// asleep does not lose the series); picture k is due (k - 1) intervals after
// that moment on the monotonic clock, however long the pictures before it
// took. A picture more than half an interval late is skipped, not taken late,
// so the series never drifts and never takes two at once.
//
// start(), stop() and the destructor belong to one owner thread.
class TimedSeries {
public:
    using Due = std::function<void(int k)>;                // on the worker, k = 1..count
    using Finished = std::function<void(bool completed)>;  // on the worker, once, last

    explicit TimedSeries(std::shared_ptr<SeriesClock> clock = systemSeriesClock());
    ~TimedSeries();
    TimedSeries(const TimedSeries&) = delete;
    TimedSeries& operator=(const TimedSeries&) = delete;

    // False, changing nothing, while a series runs.
    bool start(const SeriesPlan& plan, Due due, Finished finished);
    // Ends the series at once and waits for the worker (only asks it to end
    // when called from the worker itself, from a callback).
    void stop();

    bool running() const { return m_running.load(); }
    // Pictures of the last series left out because they came too late.
    int skipped() const { return m_skipped.load(); }

private:
    void run(SeriesPlan plan, Due due, Finished finished);
    // Waits until `until`; false when the series was stopped.
    bool sleepUntil(std::unique_lock<std::mutex>& lock, SeriesClock::MonoTime until);

    std::shared_ptr<SeriesClock> m_clock;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;  // guarded by m_mutex
    std::atomic<bool> m_running{false};
    std::atomic<int> m_skipped{0};
    std::thread m_worker;
};

}  // namespace capture
