#include "timed_series.h"

#include <algorithm>

namespace capture {

namespace {

class SystemSeriesClock final : public SeriesClock {
public:
    WallTime wallNow() const override { return std::chrono::system_clock::now(); }
    MonoTime monoNow() const override { return std::chrono::steady_clock::now(); }
    void waitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, MonoTime until) override
    {
        wake.wait_until(lock, until);
    }
};

// The monotonic clock stands still while the machine sleeps and the wall clock
// may be set, so the wait for the start time looks at the wall clock again at
// least this often.
constexpr std::chrono::seconds kWallRecheck{1};

}  // namespace

std::shared_ptr<SeriesClock> systemSeriesClock()
{
    static const auto clock = std::make_shared<SystemSeriesClock>();
    return clock;
}

TimedSeries::TimedSeries(std::shared_ptr<SeriesClock> clock) : m_clock(std::move(clock)) {}

TimedSeries::~TimedSeries()
{
    stop();
}

bool TimedSeries::start(const SeriesPlan& plan, Due due, Finished finished)
{
    if (m_running.load())
        return false;
    if (m_worker.joinable())
        m_worker.join();  // the last series, finished by itself
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = false;
    }
    m_skipped = 0;
    m_running = true;
    m_worker = std::thread(&TimedSeries::run, this, plan, std::move(due), std::move(finished));
    return true;
}

void TimedSeries::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id())
        m_worker.join();
}

bool TimedSeries::sleepUntil(std::unique_lock<std::mutex>& lock, SeriesClock::MonoTime until)
{
    while (!m_stop && m_clock->monoNow() < until)
        m_clock->waitUntil(m_wake, lock, until);
    return !m_stop;
}

void TimedSeries::run(SeriesPlan plan, Due due, Finished finished)
{
    using std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(m_mutex);
    bool begun = true;
    for (;;) {
        const SeriesClock::WallTime wall = m_clock->wallNow();
        if (wall >= plan.start)
            break;
        const auto rest = std::chrono::ceil<steady_clock::duration>(plan.start - wall);
        if (!sleepUntil(lock, m_clock->monoNow() + std::min<steady_clock::duration>(rest, kWallRecheck))) {
            begun = false;
            break;
        }
    }

    bool completed = false;
    if (begun) {
        const SeriesClock::MonoTime t0 = m_clock->monoNow();
        const auto interval = std::chrono::duration_cast<steady_clock::duration>(plan.interval);
        int k = 1;
        for (; k <= plan.count; ++k) {
            const SeriesClock::MonoTime dueAt = t0 + (k - 1) * interval;
            if (!sleepUntil(lock, dueAt))
                break;
            if (interval.count() > 0 && m_clock->monoNow() - dueAt > interval / 2) {
                ++m_skipped;
                continue;
            }
            // Unlocked, so that stop() is not held up by a slow picture.
            lock.unlock();
            if (due)
                due(k);
            lock.lock();
        }
        completed = k > plan.count;
    }
    lock.unlock();
    m_running = false;
    if (finished)
        finished(completed);
}

}  // namespace capture
