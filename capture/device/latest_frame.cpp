#include "latest_frame.h"

#include "capture/core/frame_ops.h"
#include "capture/core/pixel_convert.h"
#include "capture/core/resolution_table.h"

#include <cstring>

namespace capture {

void LatestFrame::storeDelivered(const uint8_t* bytes, size_t size, int32_t format, int32_t width, int32_t height,
                                 double sampleTime)
{
    std::lock_guard lock(m_mutex);
    if (m_rows.size() < size)
        m_rows.resize(size);  // grows to the largest frame once, then stays
    std::memcpy(m_rows.data(), bytes, size);
    m_delivered = size;
    m_format = format;
    m_width = width;
    m_height = height;
    m_sampleTime = sampleTime;
    frameArrived.store(1);
}

bool LatestFrame::copyOut(std::vector<uint8_t>& rows, int32_t& width, int32_t& height) const
{
    std::lock_guard lock(m_mutex);
    if (m_width == 0)
        return false;
    const size_t size = size_t(rowStride(m_width)) * m_height;
    width = m_width;
    height = m_height;
    if (m_format == 0) {
        rows.assign(m_rows.begin(), m_rows.begin() + static_cast<long>(size));
        return true;
    }
    rows.assign(size, 0);
    const FrameView out{rows.data(), m_width, m_height, rowStride(m_width)};
    return m_format == FormatMJPG ? mjpegToBgr(m_rows.data(), m_delivered, out) : yuyvToBgr(m_rows.data(), m_delivered, out);
}

void LatestFrame::clear()
{
    std::lock_guard lock(m_mutex);
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_width = m_height = 0;
    m_delivered = 0;
}

}  // namespace capture
