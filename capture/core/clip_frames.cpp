#include "clip_frames.h"

#include "frame_ops.h"
#include "pixel_convert.h"
#include "resolution_table.h"

#include "picture/core/jpeg_codec.h"

namespace capture {

bool ClipFrameMaker::make(const uint8_t* bytes, size_t size, int32_t format, const uint8_t*& out, size_t& outSize)
{
    const bool compressed = m_clip.codec == AviCodec::Mjpg;
    if (format == FormatMJPG && compressed) {
        out = bytes;  // as the camera delivered it
        outSize = size;
        return true;
    }
    const int stride = rowStride(m_clip.width);
    const size_t rowsBytes = size_t(stride) * size_t(m_clip.height);
    const uint8_t* rows = bytes;
    if (format == FormatNone) {
        if (size < rowsBytes)
            return false;
    } else {
        m_rows.resize(rowsBytes);
        const FrameView view{m_rows.data(), m_clip.width, m_clip.height, stride};
        if (format == FormatMJPG ? !mjpegToBgr(bytes, size, view) : !yuyvToBgr(bytes, size, view))
            return false;
        rows = m_rows.data();
    }
    if (!compressed) {
        out = rows;
        outSize = rowsBytes;
        return true;
    }
    std::string error;
    if (!encodeJpegRows(rows, unsigned(m_clip.width), unsigned(m_clip.height), size_t(stride), kClipJpegQuality, m_jpeg, error))
        return false;
    out = m_jpeg.data();
    outSize = m_jpeg.size();
    return true;
}

}  // namespace capture
