#pragma once

#include <mutex>
#include <utility>

namespace capture {

// The latest display image of a slot, handed from the capture thread to
// the GUI thread. Three images take turns: the capture thread composes into
// one, the GUI paints another, the third waits as the newest finished one.
// A slow GUI therefore skips frames and never queues them, and nothing is
// allocated once the size settles.
template <typename Image>
class FrameMailbox {
public:
    // The image to compose the next frame into (capture thread), and which
    // of the three it is.
    Image& back() { return m_images[m_back]; }
    int backIndex() const { return m_back; }
    // Hands the composed image over; true when the GUI had taken the
    // previous one (so it needs waking).
    bool publish()
    {
        std::lock_guard lock(m_mutex);
        std::swap(m_back, m_pending);
        const bool wasEmpty = !m_hasPending;
        m_hasPending = true;
        return wasEmpty;
    }
    // The newest image for painting (GUI thread), or nullptr before the first.
    const Image* latest()
    {
        std::lock_guard lock(m_mutex);
        if (m_hasPending) {
            std::swap(m_front, m_pending);
            m_hasPending = false;
            m_hasFront = true;
        }
        return m_hasFront ? &m_images[m_front] : nullptr;
    }

private:
    std::mutex m_mutex;
    Image m_images[3];
    int m_back = 0, m_pending = 1, m_front = 2;
    bool m_hasPending = false;
    bool m_hasFront = false;
};

}  // namespace capture
