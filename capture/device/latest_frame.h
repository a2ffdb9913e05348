#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace capture {

// The latest frame of a USB slot as the camera delivered it (YUYV or JPEG
// bytes). The capture thread stores every frame; the GUI thread copies it out
// as 24-bit BGR rows for a still picture. The buffer only grows, and only
// under the lock, so no reader ever sees it move.
class LatestFrame {
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

}  // namespace capture
