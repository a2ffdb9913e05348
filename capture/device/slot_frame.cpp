#include "slot_frame.h"

#include "capture/core/frame_ops.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace capture {

void SlotFrame::store(const uint8_t* rows, int32_t width, int32_t height, double sampleTime)
{
    const size_t size = size_t(rowStride(width)) * height;
    std::lock_guard lock(m_mutex);
    if (m_rows.size() < size)
        m_rows.resize(size);
    std::memcpy(m_rows.data(), rows, size);
    m_width = width;
    m_height = height;
    m_sampleTime = sampleTime;
    frameArrived.store(1);
}

void SlotFrame::exchange(std::vector<uint8_t>& rows, int32_t width, int32_t height, double sampleTime)
{
    {
        std::lock_guard lock(m_mutex);
        m_rows.swap(rows);
        m_width = width;
        m_height = height;
        m_sampleTime = sampleTime;
    }
    if (rows.size() < m_rows.size())
        rows.resize(m_rows.size());  // only until both buffers have the size
    frameArrived.store(1);
}

bool SlotFrame::copyOut(std::vector<uint8_t>& rows, int32_t& width, int32_t& height) const
{
    std::lock_guard lock(m_mutex);
    if (m_width == 0)
        return false;
    const size_t size = size_t(rowStride(m_width)) * m_height;
    rows.assign(m_rows.begin(), m_rows.begin() + static_cast<long>(size));
    width = m_width;
    height = m_height;
    return true;
}

void SlotFrame::clear()
{
    std::lock_guard lock(m_mutex);
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_width = m_height = 0;
}

SlotFrame& slotFrame(int slot)
{
    static std::array<SlotFrame, 5> frames;
    return frames.at(static_cast<size_t>(std::clamp(slot, 1, 5) - 1));
}

}  // namespace capture
