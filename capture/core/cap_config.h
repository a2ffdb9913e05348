#pragma once

#include "picture/core/cx_image.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace capture {

#pragma pack(push, 1)
struct Rect32 {
    int32_t left, top, right, bottom;
};
// The saved capture format, as CapConfig.dat holds it: 88 bytes, little-endian.
struct VideoInfoHeader {
    Rect32 rcSource;
    Rect32 rcTarget;
    uint32_t dwBitRate;
    uint32_t dwBitErrorRate;
    int64_t AvgTimePerFrame;  // 100 ns units
    BITMAPINFOHEADER bmiHeader;
};
#pragma pack(pop)
static_assert(sizeof(VideoInfoHeader) == 88, "CapConfig.dat is exactly 88 bytes");

// The file's bytes; nothing unless it holds all 88.
std::optional<VideoInfoHeader> readCapConfig(const QString& path);
// Replaces the file whole; false when it cannot be written.
bool writeCapConfig(const QString& path, const VideoInfoHeader& format);

// A format set to a new frame size: image size for its bit depth and the
// bit rate from the frame rate, as the format was always updated.
void resizeFormat(VideoInfoHeader& format, int32_t width, int32_t height);

}  // namespace capture
