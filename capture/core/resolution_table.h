#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace capture {

enum PixelFormat : int32_t { FormatNone = 0, FormatYUY2 = 1, FormatMJPG = 2 };

struct ResolutionEntry {
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = FormatNone;
    bool operator==(const ResolutionEntry&) const = default;
};

constexpr size_t kResolutionSlots = 60;
using ResolutionTable = std::array<ResolutionEntry, kResolutionSlots>;

// One frame size a device offers.
struct Capability {
    int32_t width;
    int32_t height;
    int32_t format;  // FormatYUY2, FormatMJPG, or anything else (ignored)
};

// The table of a device's frame sizes: YUY2 and MJPG sizes of at least
// 320 x 240, at most 60; a size offered twice keeps the format reported
// first; sorted by width, equal widths in the order offered; unused
// entries zero.
ResolutionTable buildResolutionTable(const std::vector<Capability>& capabilities);

// The camera model a device's table gives (1 to 6), or `previous` when its
// largest width is none of the known ones.
int32_t cameraModelOf(const ResolutionTable& table, int32_t previous);

// The filled entries of a table.
size_t countResolutions(const ResolutionTable& table);

}  // namespace capture
