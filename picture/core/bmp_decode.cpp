// Reading BMP files, checked at every step: every size, count, mask, offset
// and run is validated against the file before it is used.
#include "bmp_codec.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5, BI_ALPHABITFIELDS = 6 };

constexpr uint32_t kRowsPerBlock = 64;

uint16_t u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    bool set(uint32_t m)
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
    int64_t start = 0;
    int64_t fileSize = 0;
    uint32_t offBits = 0;
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
};

bool fail(CxImage& image, const char* text)
{
    image.SetLastError(text);
    return false;
}

int32_t dpiOf(int32_t pelsPerMeter)
{
    if (pelsPerMeter <= 0 || pelsPerMeter > 1000000)
        return 96;
    return static_cast<int32_t>(pelsPerMeter * 0.0254 + 0.5);
}

bool readHeaders(CxFile& f, CxImage& image, BmpInfo& info, std::vector<RGBQUAD>& palette)
{
    info.start = f.Tell();
    info.fileSize = f.Size() - info.start;
    uint8_t fh[14];
    if (!f.ReadExactly(fh, sizeof fh) || fh[0] != 'B' || fh[1] != 'M')
        return fail(image, "Not a BMP");
    info.offBits = u32(fh + 10);

    uint8_t ih[124] = {};
    if (!f.ReadExactly(ih, 4))
        return fail(image, "Error reading BMP info");
    info.headerSize = u32(ih);
    if (info.headerSize < 12 || info.headerSize > 4096 || info.headerSize + 14 > info.fileSize)
        return fail(image, "Error reading BMP info");
    const uint32_t toRead = std::min<uint32_t>(info.headerSize, sizeof ih) - 4;
    if (!f.ReadExactly(ih + 4, toRead) || !f.Seek(info.start + 14 + info.headerSize, SEEK_SET))
        return fail(image, "Error reading BMP info");

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
        return fail(image, "Error reading BMP info");
    info.topDown = info.height < 0;
    info.absHeight = static_cast<uint32_t>(info.topDown ? -info.height : info.height);

    switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return fail(image, "Error reading BMP info");
    }
    switch (info.compression) {
    case BI_RGB: break;
    case BI_RLE8:
        if (info.bitCount != 8 || info.topDown)
            return fail(image, "compression type not supported");
        break;
    case BI_RLE4:
        if (info.bitCount != 4 || info.topDown)
            return fail(image, "compression type not supported");
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (info.bitCount != 16 && info.bitCount != 32)
            return fail(image, "compression type not supported");
        break;
    case BI_JPEG:
    case BI_PNG: return fail(image, "compression type not supported");
    default: return fail(image, "unknown compression");
    }
    // OS/2 2.x headers number their compressions differently.
    if (info.headerSize == 64 && info.compression >= BI_BITFIELDS)
        return fail(image, "compression type not supported");

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
                return fail(image, "Error reading BMP info");
            masks[0] = u32(m), masks[1] = u32(m + 4), masks[2] = u32(m + 8);
        }
        const uint32_t limit = info.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        if (!masks[0] || !masks[1] || !masks[2] || (masks[0] | masks[1] | masks[2]) > limit || (masks[0] & masks[1])
            || (masks[1] & masks[2]) || (masks[0] & masks[2]))
            return fail(image, "Error reading BMP info: bad colour masks");
    } else if (info.bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (info.bitCount == 32) {
        masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF;
    }
    if (!info.red.set(masks[0]) || !info.green.set(masks[1]) || !info.blue.set(masks[2]))
        return fail(image, "Error reading BMP info: bad colour masks");

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
            return fail(image, "Error reading BMP info");
        palette.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            palette[i] = {raw[i * entrySize], raw[i * entrySize + 1], raw[i * entrySize + 2], 0};
    }

    const int64_t headerEnd = f.Tell() - info.start;
    if (info.offBits == 0)
        info.offBits = static_cast<uint32_t>(headerEnd);
    if (info.offBits < 14 + info.headerSize + maskBytes || int64_t(info.offBits) >= info.fileSize)
        return fail(image, "Error reading BMP info: pixel data offset out of range");
    return f.Seek(info.start + info.offBits, SEEK_SET) || fail(image, "Error reading BMP info");
}

bool cancelled(CxImage& image, uint32_t done, uint32_t total)
{
    image.SetProgress(total ? done * 100 / total : 100);
    return image.GetEscape() != 0;
}

// Rows that keep their layout: read straight into the picture in blocks.
bool readDirectRows(CxFile& f, CxImage& image, const BmpInfo& info)
{
    const uint32_t row = image.GetEffWidth();
    for (uint32_t y = 0; y < info.absHeight; y += kRowsPerBlock) {
        if (cancelled(image, y, info.absHeight))
            return fail(image, "Cancelled");
        const uint32_t rows = std::min(kRowsPerBlock, info.absHeight - y);
        if (!f.ReadExactly(image.GetBits(y), size_t(rows) * row))
            return fail(image, "BMP pixel data is truncated");
    }
    if (info.topDown)
        image.Flip();
    return true;
}

// 16 and 32-bit rows, through their colour masks, into 24 bits.
bool readMaskedRows(CxFile& f, CxImage& image, const BmpInfo& info)
{
    const uint32_t srcRow = CxImage::RowSize(static_cast<uint32_t>(info.width), info.bitCount);
    const uint32_t bytesPerPixel = info.bitCount / 8;
    std::vector<uint8_t> block(size_t(srcRow) * kRowsPerBlock);
    for (uint32_t y = 0; y < info.absHeight; y += kRowsPerBlock) {
        if (cancelled(image, y, info.absHeight))
            return fail(image, "Cancelled");
        const uint32_t rows = std::min(kRowsPerBlock, info.absHeight - y);
        if (!f.ReadExactly(block.data(), size_t(rows) * srcRow))
            return fail(image, "BMP pixel data is truncated");
        for (uint32_t r = 0; r < rows; ++r) {
            const uint32_t fileRow = y + r;
            uint8_t* out = image.GetBits(info.topDown ? info.absHeight - 1 - fileRow : fileRow);
            const uint8_t* in = block.data() + size_t(r) * srcRow;
            for (int32_t x = 0; x < info.width; ++x, in += bytesPerPixel, out += 3) {
                const uint32_t px = bytesPerPixel == 2 ? u16(in) : u32(in);
                out[0] = info.blue.read(px);
                out[1] = info.green.read(px);
                out[2] = info.red.read(px);
            }
        }
    }
    return true;
}

// RLE8 and RLE4: every run, copy and jump is checked against the picture.
bool readRunLengthRows(CxFile& f, CxImage& image, const BmpInfo& info)
{
    const int64_t available = info.fileSize - info.offBits;
    std::vector<uint8_t> data(static_cast<size_t>(available));
    const size_t got = f.Read(data.data(), data.size());
    data.resize(got);
    const bool four = info.compression == BI_RLE4;
    const uint32_t w = static_cast<uint32_t>(info.width);
    const uint32_t h = info.absHeight;
    uint32_t x = 0, y = 0;
    // Runs reaching past the row end are cut there: some writers encode the
    // row padding too.
    const auto put = [&](uint32_t px, uint8_t index) {
        if (px >= w || y >= h)
            return;
        uint8_t* row = image.GetBits(y);
        if (four) {
            const int shift = (px & 1) ? 0 : 4;
            row[px >> 1] = static_cast<uint8_t>((row[px >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        } else {
            row[px] = index;
        }
    };
    size_t i = 0;
    while (i + 1 < data.size()) {
        const uint8_t count = data[i];
        const uint8_t value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (uint32_t k = 0; k < count; ++k)
                put(x + k, four ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            x += count;
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            if (++y % kRowsPerBlock == 0 && cancelled(image, y, h))
                return fail(image, "Cancelled");
            continue;
        }
        if (value == 1)  // end of picture
            return true;
        if (value == 2) {  // jump
            if (i + 1 >= data.size())
                break;
            x += data[i];
            y += data[i + 1];
            i += 2;
            if (x > w || y > h)
                return fail(image, "BMP run-length data out of bounds");
            continue;
        }
        // A literal run of `value` pixels, padded to a whole word.
        const uint32_t n = value;
        const size_t bytes = four ? (n + 1) / 2 : n;
        if (i + bytes > data.size())
            return fail(image, "BMP run-length data out of bounds");
        for (uint32_t k = 0; k < n; ++k)
            put(x + k, four ? ((k & 1) ? (data[i + k / 2] & 0x0F) : (data[i + k / 2] >> 4)) : data[i + k]);
        x += n;
        i += bytes + (bytes & 1);
    }
    return true;  // data ended without an end mark: what was there stands
}

}  // namespace

bool decodeBmp(CxFile& file, CxImage& image)
{
    BmpInfo info;
    std::vector<RGBQUAD> palette;
    if (!readHeaders(file, image, info, palette))
        return false;

    // Uncompressed rows must all be in the file: checked before allocating.
    const bool runLength = info.compression == BI_RLE8 || info.compression == BI_RLE4;
    const uint64_t rowBytes = CxImage::RowSize(static_cast<uint32_t>(info.width), info.bitCount);
    if (!runLength && rowBytes * info.absHeight > uint64_t(info.fileSize - info.offBits))
        return fail(image, "BMP pixel data is truncated");

    const uint32_t outBpp = info.bitCount <= 8 ? info.bitCount : 24;
    image.SetXDPI(dpiOf(info.xPelsPerMeter));
    image.SetYDPI(dpiOf(info.yPelsPerMeter));
    if (!image.Create(static_cast<uint32_t>(info.width), info.absHeight, outBpp, CXIMAGE_FORMAT_BMP)) {
        const std::string why = image.GetLastError();
        return fail(image, why.find("MAX_MEMORY") != std::string::npos ? why.c_str() : "can't allocate memory");
    }
    if (!palette.empty())
        image.SetPalette(palette.data(), static_cast<uint32_t>(palette.size()));

    bool ok;
    if (runLength)
        ok = readRunLengthRows(file, image, info);
    else if (info.bitCount == 16 || info.bitCount == 32)
        ok = readMaskedRows(file, image, info);
    else
        ok = readDirectRows(file, image, info);
    if (!ok) {
        const std::string why = image.GetLastError();
        image.Destroy();
        image.SetLastError(why);
        return false;
    }
    image.SetProgress(100);
    return true;
}
