#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace picture {

// One marker segment before a JPEG's scan: where it starts and its whole
// size (marker and length included; 2 for a marker standing alone).
struct JpegSegment {
    size_t at;
    size_t size;
    uint8_t marker;
};

// How a walk over a JPEG's leading segments ended.
struct JpegSegmentsEnd {
    enum How {
        Scan,     // the start of scan (or the end of picture) begins at `at`
        Stopped,  // the visitor wanted no more
        Cut,      // the bytes end before the segment at `at` is whole
        Broken,   // no marker where one belongs, a length under 2, or a second start of picture
    };
    How how = Broken;
    size_t at = 0;
    size_t needed = 0;  // Cut: the first `needed` bytes would hold that segment
};

// Walks the segments after the start of picture in the first `size` bytes
// of a JPEG, handing each whole one to `visit`, which answers false to stop.
// Fill bytes between segments are skipped. Never reads outside `size`.
JpegSegmentsEnd walkJpegSegments(const uint8_t* data, size_t size, const std::function<bool(const JpegSegment&)>& visit);

}  // namespace picture
