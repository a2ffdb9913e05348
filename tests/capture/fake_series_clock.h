#pragma once

#include "capture/core/timed_series.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace testing_support {

// A series clock that moves only when the test moves it. The test sees where
// the worker waits and lets the time jump there, so a series of hours runs in
// an instant and every moment of it is exact.
class FakeSeriesClock final : public capture::SeriesClock {
public:
    explicit FakeSeriesClock(WallTime wall) : m_wall(wall) {}

    WallTime wallNow() const override
    {
        std::lock_guard<std::mutex> g(m_m);
        return m_wall;
    }
    MonoTime monoNow() const override
    {
        std::lock_guard<std::mutex> g(m_m);
        return m_mono;
    }

    void waitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, MonoTime until) override
    {
        {
            std::lock_guard<std::mutex> g(m_m);
            if (m_mono >= until)
                return;
            m_waiter = {&wake, lock.mutex(), until};
        }
        m_changed.notify_all();
        wake.wait(lock);
        {
            std::lock_guard<std::mutex> g(m_m);
            m_waiter.reset();
        }
        m_changed.notify_all();
    }

    // Both clocks move on by `d` (from any thread, a callback too).
    void advance(std::chrono::steady_clock::duration d)
    {
        {
            std::lock_guard<std::mutex> g(m_m);
            m_mono += d;
            m_wall += std::chrono::duration_cast<std::chrono::system_clock::duration>(d);
        }
        wakeWaiter();
    }
    // The wall clock alone: the machine slept, or the clock was set.
    void jumpWall(std::chrono::system_clock::duration d)
    {
        std::lock_guard<std::mutex> g(m_m);
        m_wall += d;
    }

    // Where the worker waits, if it does.
    std::optional<MonoTime> waitingUntil() const
    {
        std::lock_guard<std::mutex> g(m_m);
        return m_waiter ? std::optional<MonoTime>(m_waiter->until) : std::nullopt;
    }
    // Blocks until the worker waits or `done` holds; a safety limit of real
    // time keeps a broken worker from hanging the test.
    template <typename Done>
    bool awaitWaiter(Done done)
    {
        std::unique_lock<std::mutex> g(m_m);
        return m_changed.wait_for(g, std::chrono::seconds(10), [&] { return m_waiter.has_value() || done(); });
    }
    // Lets the time jump to where the worker waits; false when it does not wait.
    bool step()
    {
        const std::optional<MonoTime> until = waitingUntil();
        if (!until)
            return false;
        const auto d = *until - monoNow();
        advance(d.count() > 0 ? d : std::chrono::steady_clock::duration::zero());
        return true;
    }
    // Wakes awaitWaiter() to look at its condition again.
    void notify()
    {
        {
            std::lock_guard<std::mutex> g(m_m);
        }
        m_changed.notify_all();
    }

private:
    struct Waiter {
        std::condition_variable* wake;
        std::mutex* mutex;
        MonoTime until;
    };

    void wakeWaiter()
    {
        std::optional<Waiter> w;
        {
            std::lock_guard<std::mutex> g(m_m);
            w = m_waiter;
        }
        if (!w)
            return;
        // Taking the series' lock makes sure the worker is inside its wait,
        // so the notification cannot fall between its check and the wait.
        {
            std::lock_guard<std::mutex> g(*w->mutex);
        }
        w->wake->notify_all();
    }

    mutable std::mutex m_m;
    std::condition_variable m_changed;
    WallTime m_wall;
    MonoTime m_mono{std::chrono::hours(1000)};
    std::optional<Waiter> m_waiter;
};

}  // namespace testing_support
