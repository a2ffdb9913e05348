#pragma once

#include "avi_writer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace capture {

// JPEG quality of clip frames the program compresses itself.
constexpr int kClipJpegQuality = 90;

// Turns frames as they arrive into the bytes of one clip frame: a camera's
// JPEG goes into a compressed clip unchanged; anything else is converted to
// bottom-up BGR rows and, for a compressed clip, encoded as JPEG.
class ClipFrameMaker {
public:
    explicit ClipFrameMaker(const AviStreamFormat& clip) : m_clip(clip) {}

    // `format`: FormatMJPG or FormatYUY2 for a camera's bytes, FormatNone for
    // bottom-up BGR rows of rowStride(width) bytes, all of the clip's size.
    // On success `out` points at `size` bytes that stay valid until the
    // next call; false for a frame that cannot be read.
    bool make(const uint8_t* bytes, size_t size, int32_t format, const uint8_t*& out, size_t& outSize);

private:
    AviStreamFormat m_clip;
    std::vector<uint8_t> m_rows;
    std::vector<uint8_t> m_jpeg;
};

}  // namespace capture
