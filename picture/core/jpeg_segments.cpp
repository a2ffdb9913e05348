#include "jpeg_segments.h"

namespace picture {

JpegSegmentsEnd walkJpegSegments(const uint8_t* data, size_t size, const std::function<bool(const JpegSegment&)>& visit)
{
    if (!data || size < 2 || data[0] != 0xFF || data[1] != 0xD8)
        return {JpegSegmentsEnd::Broken, 0, 0};
    size_t at = 2;
    while (true) {
        // Any number of fill bytes may come before a marker.
        while (at + 1 < size && data[at] == 0xFF && data[at + 1] == 0xFF)
            ++at;
        if (at + 2 > size)
            return {JpegSegmentsEnd::Cut, at, at + 4};
        if (data[at] != 0xFF)
            return {JpegSegmentsEnd::Broken, at, 0};
        const uint8_t marker = data[at + 1];
        if (marker == 0xDA || marker == 0xD9)
            return {JpegSegmentsEnd::Scan, at, 0};
        if (marker == 0xD8)
            return {JpegSegmentsEnd::Broken, at, 0};
        JpegSegment segment{at, 2, marker};
        if (marker != 0x01 && (marker < 0xD0 || marker > 0xD7)) {
            if (at + 4 > size)
                return {JpegSegmentsEnd::Cut, at, at + 4};
            const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
            if (length < 2)
                return {JpegSegmentsEnd::Broken, at, 0};
            segment.size = length + 2;
            if (segment.size > size - at)
                return {JpegSegmentsEnd::Cut, at, at + segment.size};
        }
        if (!visit(segment))
            return {JpegSegmentsEnd::Stopped, at + segment.size, 0};
        at += segment.size;
    }
}

}  // namespace picture
