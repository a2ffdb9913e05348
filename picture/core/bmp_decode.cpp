// Reading BMP files, checked at every step: every size, count, mask, offset
// and run is validated against the file before it is used.
#include "bmp_codec.h"
#include "bmp_header.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using namespace bmp;

constexpr uint32_t kRowsPerBlock = 64;

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
    const char* error = bmp::readHeaders(f, info, palette);
    return !error || fail(image, error);
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
