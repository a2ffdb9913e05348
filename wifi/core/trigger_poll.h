#pragma once

#include "camera_address.h"
#include "http_get.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace wifi {

// Watches the microscope's still button, which it reports as a counter on a
// page: polls the page on a thread of its own and calls `pressed` (on that
// thread) each time the number changes.
class TriggerPoll {
public:
    static constexpr int kPauseMs = 100;  // between rounds, so the camera is not flooded

    explicit TriggerPoll(std::function<void()> pressed);
    ~TriggerPoll();
    TriggerPoll(const TriggerPoll&) = delete;
    TriggerPoll& operator=(const TriggerPoll&) = delete;

    void setLimits(const HttpLimits& limits) { m_limits = limits; }  // while stopped
    // Starts polling, after stopping any polling already going on; a number
    // other than `last` is a press.
    void start(const CameraAddress& address, int last = 0);
    // Returns promptly, cancelling a request on its way.
    void stop();
    bool running() const;
    // The number last read; while stopped.
    int lastSeen() const { return m_last; }

private:
    void run(CameraAddress address);

    std::function<void()> m_pressed;
    HttpLimits m_limits;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_stop{false};
    int m_last = 0;  // the poll thread's while it runs
};

}  // namespace wifi
