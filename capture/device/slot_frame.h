#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace capture {

// The latest frame of a USB slot as the camera delivered it: 24-bit BGR,
// bottom-up rows padded to 4 bytes. The capture thread stores every frame;
// the GUI thread copies it out for a still picture. The buffer only grows,
// and only under the lock, so no reader ever sees it move.
class SlotFrame {
public:
    // Keeps the frame as the camera sent it (YUYV or JPEG bytes); it is
    // turned into rows only when a still picture asks for it.
    void storeDelivered(const uint8_t* bytes, size_t size, int32_t format, int32_t width, int32_t height, double sampleTime);
    // False when no frame arrived yet.
    bool copyOut(std::vector<uint8_t>& rows, int32_t& width, int32_t& height) const;
    void clear();

    // Set on every frame; the main window clears it to notice a silent device.
    std::atomic<int> frameArrived{0};

private:
    mutable std::mutex m_mutex;
    std::vector<uint8_t> m_rows;
    int32_t m_format = 0;  // 0: rows; else the delivered format's bytes
    size_t m_delivered = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    double m_sampleTime = 0;
};

// The frames of USB slots 1 to 5, for the whole run.
SlotFrame& slotFrame(int slot);

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
