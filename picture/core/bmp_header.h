#pragma once

#include "cx_file.h"
#include "cx_image.h"

#include <cstdint>
#include <vector>

// A BMP file's headers, palette and colour masks, as both the decoder and
// the thumbnail's row sampler read them.
namespace bmp {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5, BI_ALPHABITFIELDS = 6 };

inline uint16_t u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// One colour of a 16 or 32-bit pixel: a contiguous run of mask bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    bool set(uint32_t m);
    uint8_t read(uint32_t pixel) const
    {
        if (!mask)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return static_cast<uint8_t>(v >> (bits - 8));
        const uint32_t max = (1u << bits) - 1;
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

struct BmpInfo {
    int64_t start = 0;     // where the file header begins in the file
    int64_t fileSize = 0;  // bytes from `start` to the end
    uint32_t offBits = 0;  // the rows, from `start`
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t absHeight = 0;
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t clrUsed = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    Channel red, green, blue;

    bool runLength() const { return compression == BI_RLE8 || compression == BI_RLE4; }
};

// Reads and checks the headers, masks and palette at the file's position
// and leaves it at the first row. Null on success, else what is wrong.
const char* readHeaders(CxFile& f, BmpInfo& info, std::vector<RGBQUAD>& palette);

}  // namespace bmp
