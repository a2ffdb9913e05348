#include "trigger_poll.h"

#include "camera_pages.h"

namespace wifi {

TriggerPoll::TriggerPoll(std::function<void()> pressed) : m_pressed(std::move(pressed)) {}

TriggerPoll::~TriggerPoll()
{
    stop();
}

void TriggerPoll::start(const CameraAddress& address, int last)
{
    stop();
    m_stop = false;
    m_last = last;
    m_thread = std::thread([this, address] { run(address); });
}

void TriggerPoll::stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool TriggerPoll::running() const
{
    return m_thread.joinable();
}

void TriggerPoll::run(CameraAddress address)
{
    const QString url = address.pageUrl(QString::fromLatin1(kTriggerPath));
    while (!m_stop.load()) {
        const HttpReply reply = httpGet(address, url, m_limits, &m_stop);
        if (m_stop.load())
            break;
        if (reply.ok) {
            const std::optional<int> count = parseTrigger(reply.body);
            if (count && *count != m_last) {
                m_last = *count;
                if (m_pressed)
                    m_pressed();
            }
        }
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::milliseconds(kPauseMs), [&] { return m_stop.load(); });
    }
}

}  // namespace wifi
