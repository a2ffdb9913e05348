#pragma once

// A window of another program, as the messages between programs see it: it
// listens under its title on a thread of its own, so this thread can send it
// a message and wait for the answer.
#include "platform/window_messages.h"

#include <QThread>

#include <atomic>
#include <vector>

namespace testing_support {

class WindowOnThread {
public:
    explicit WindowOnThread(const QString& title, qint64 answer = 1)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this, title, answer] {
                m_window = new platform::MessageWindow(title, [this, answer](int message, qint64, qint64) {
                    m_received.push_back(message);
                    m_count = static_cast<int>(m_received.size());
                    return answer;
                });
            },
            Qt::BlockingQueuedConnection);
    }
    ~WindowOnThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_window; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool isListening() const { return m_window->isListening(); }
    // How many messages it has answered (any thread).
    int count() const { return m_count; }
    // The messages it answered, once `count()` says they are there.
    std::vector<int> received() const
    {
        std::vector<int> out;
        QMetaObject::invokeMethod(
            &m_context, [this, &out] { out = m_received; }, Qt::BlockingQueuedConnection);
        return out;
    }

private:
    QThread m_thread;
    mutable QObject m_context;
    platform::MessageWindow* m_window = nullptr;
    std::vector<int> m_received;
    std::atomic<int> m_count{0};
};

}  // namespace testing_support
