// The BMP headers, checked at every step: every size, count, mask and offset
// is validated against the file before it is used.
#include "bmp_header.h"

#include <algorithm>
#include <climits>

namespace bmp {

bool Channel::set(uint32_t m)
{
    mask = m;
    shift = 0;
    bits = 0;
    if (!m)
        return true;
    while (!((m >> shift) & 1))
        ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1))
        ++bits;
    // One contiguous run of ones.
    return (m >> shift) == (bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1));
}

const char* readHeaders(CxFile& f, BmpInfo& info, std::vector<RGBQUAD>& palette)
{
    info.start = f.Tell();
    info.fileSize = f.Size() - info.start;
    uint8_t fh[14];
    if (!f.ReadExactly(fh, sizeof fh) || fh[0] != 'B' || fh[1] != 'M')
        return "Not a BMP";
    info.offBits = u32(fh + 10);

    uint8_t ih[124] = {};
    if (!f.ReadExactly(ih, 4))
        return "Error reading BMP info";
    info.headerSize = u32(ih);
    if (info.headerSize < 12 || info.headerSize > 4096 || info.headerSize + 14 > info.fileSize)
        return "Error reading BMP info";
    const uint32_t toRead = std::min<uint32_t>(info.headerSize, sizeof ih) - 4;
    if (!f.ReadExactly(ih + 4, toRead) || !f.Seek(info.start + 14 + info.headerSize, SEEK_SET))
        return "Error reading BMP info";

    const bool core = info.headerSize < 16;  // the 12-byte core header
    if (core) {
        info.width = u16(ih + 4);
        info.height = static_cast<int16_t>(u16(ih + 6));
        info.bitCount = u16(ih + 10);
    } else {
        info.width = static_cast<int32_t>(u32(ih + 4));
        info.height = static_cast<int32_t>(u32(ih + 8));
        info.bitCount = u16(ih + 14);
        info.compression = info.headerSize >= 20 ? u32(ih + 16) : BI_RGB;
        info.xPelsPerMeter = info.headerSize >= 28 ? static_cast<int32_t>(u32(ih + 24)) : 0;
        info.yPelsPerMeter = info.headerSize >= 32 ? static_cast<int32_t>(u32(ih + 28)) : 0;
        info.clrUsed = info.headerSize >= 36 ? u32(ih + 32) : 0;
    }
    if (info.width <= 0 || info.height == 0 || info.height == INT_MIN)
        return "Error reading BMP info";
    info.topDown = info.height < 0;
    info.absHeight = static_cast<uint32_t>(info.topDown ? -info.height : info.height);

    switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return "Error reading BMP info";
    }
    switch (info.compression) {
    case BI_RGB: break;
    case BI_RLE8:
        if (info.bitCount != 8 || info.topDown)
            return "compression type not supported";
        break;
    case BI_RLE4:
        if (info.bitCount != 4 || info.topDown)
            return "compression type not supported";
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (info.bitCount != 16 && info.bitCount != 32)
            return "compression type not supported";
        break;
    case BI_JPEG:
    case BI_PNG: return "compression type not supported";
    default: return "unknown compression";
    }
    // OS/2 2.x headers number their compressions differently.
    if (info.headerSize == 64 && info.compression >= BI_BITFIELDS)
        return "compression type not supported";

    // Colour masks: in the header from 52 bytes on, else right after it.
    uint32_t masks[3] = {0, 0, 0};
    uint32_t maskBytes = 0;
    if (info.compression == BI_BITFIELDS || info.compression == BI_ALPHABITFIELDS) {
        if (info.headerSize >= 52) {
            masks[0] = u32(ih + 40), masks[1] = u32(ih + 44), masks[2] = u32(ih + 48);
        } else {
            maskBytes = info.compression == BI_ALPHABITFIELDS ? 16 : 12;
            uint8_t m[16];
            if (!f.ReadExactly(m, maskBytes))
                return "Error reading BMP info";
            masks[0] = u32(m), masks[1] = u32(m + 4), masks[2] = u32(m + 8);
        }
        const uint32_t limit = info.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        if (!masks[0] || !masks[1] || !masks[2] || (masks[0] | masks[1] | masks[2]) > limit || (masks[0] & masks[1])
            || (masks[1] & masks[2]) || (masks[0] & masks[2]))
            return "Error reading BMP info: bad colour masks";
    } else if (info.bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (info.bitCount == 32) {
        masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF;
    }
    if (!info.red.set(masks[0]) || !info.green.set(masks[1]) || !info.blue.set(masks[2]))
        return "Error reading BMP info: bad colour masks";

    // The palette: at most as many entries as the depth can index, and no
    // more than fit before the pixel data.
    if (info.bitCount <= 8) {
        const uint32_t most = 1u << info.bitCount;
        const uint32_t entrySize = core ? 3 : 4;
        uint32_t count = (info.clrUsed == 0 || info.clrUsed > most) ? most : info.clrUsed;
        const uint32_t paletteStart = 14 + info.headerSize + maskBytes;
        if (info.offBits > paletteStart)
            count = std::min(count, (info.offBits - paletteStart) / entrySize);
        std::vector<uint8_t> raw(size_t(count) * entrySize);
        if (count == 0 || !f.ReadExactly(raw.data(), raw.size()))
            return "Error reading BMP info";
        palette.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            palette[i] = {raw[i * entrySize], raw[i * entrySize + 1], raw[i * entrySize + 2], 0};
    }

    const int64_t headerEnd = f.Tell() - info.start;
    if (info.offBits == 0)
        info.offBits = static_cast<uint32_t>(headerEnd);
    if (info.offBits < 14 + info.headerSize + maskBytes || int64_t(info.offBits) >= info.fileSize)
        return "Error reading BMP info: pixel data offset out of range";
    return f.Seek(info.start + info.offBits, SEEK_SET) ? nullptr : "Error reading BMP info";
}

}  // namespace bmp
