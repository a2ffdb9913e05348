// A full-HD BMP is six megabytes, of which a thumbnail needs a few rows: the
// file is read row by row where the samples lie, and nothing else is. Every
// row is checked to lie within the file before anything is read.
#include "bmp_sample.h"

#include "bmp_header.h"

#include <algorithm>

namespace {

using namespace bmp;

// Where the samples of each output pixel lie along one side: `taps` spread
// over its block of the source.
std::vector<uint32_t> tapPositions(uint32_t source, uint32_t out, uint32_t taps)
{
    std::vector<uint32_t> at;
    at.reserve(size_t(out) * taps);
    for (uint32_t i = 0; i < out; ++i) {
        const uint64_t begin = uint64_t(i) * source / out;
        const uint64_t length = std::max<uint64_t>(1, uint64_t(i + 1) * source / out - begin);
        for (uint32_t t = 0; t < taps; ++t)
            at.push_back(uint32_t(std::min<uint64_t>(source - 1, begin + length * (2 * t + 1) / (2 * taps))));
    }
    return at;
}

class RowReader {
public:
    RowReader(const BmpInfo& info, const std::vector<RGBQUAD>& palette) : m_info(info), m_palette(palette) {}

    // The colour of pixel `x` of a row as it is in the file.
    RGBQUAD pixel(const uint8_t* row, uint32_t x) const
    {
        switch (m_info.bitCount) {
        case 1: return colour((row[x >> 3] >> (7 - (x & 7))) & 1);
        case 4: return colour((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
        case 8: return colour(row[x]);
        case 16: return masked(u16(row + 2 * size_t(x)));
        case 24: return {row[3 * size_t(x)], row[3 * size_t(x) + 1], row[3 * size_t(x) + 2], 0};
        default: return masked(u32(row + 4 * size_t(x)));
        }
    }

private:
    RGBQUAD colour(uint32_t index) const { return index < m_palette.size() ? m_palette[index] : RGBQUAD{0, 0, 0, 0}; }
    RGBQUAD masked(uint32_t px) const { return {m_info.blue.read(px), m_info.green.read(px), m_info.red.read(px), 0}; }

    const BmpInfo& m_info;
    const std::vector<RGBQUAD>& m_palette;
};

}  // namespace

SampledBmp sampleBmp(CxFile& file, int side, int64_t maxPixels)
{
    SampledBmp out;
    BmpInfo info;
    std::vector<RGBQUAD> palette;
    if (const char* error = readHeaders(file, info, palette)) {
        out.error = error;
        return out;
    }
    const uint32_t width = uint32_t(info.width), height = info.absHeight;
    out.fullSize = QSize(int(width), int(height));  // both below 2^31 (checked by the header reader)
    if (int64_t(width) * height > maxPixels) {
        out.error = "picture too large";
        return out;
    }
    if (info.runLength()) {
        out.result = SampledBmp::RunLength;
        return out;
    }
    const uint64_t rowBytes = (uint64_t(width) * info.bitCount + 31) / 32 * 4;
    if (rowBytes * height > uint64_t(info.fileSize - info.offBits)) {
        out.error = "BMP pixel data is truncated";
        return out;
    }

    // The largest whole step that still leaves `side` pixels, as a scaled
    // JPEG decode does; two samples a side where the step allows.
    const uint32_t step = std::max<uint32_t>(1, std::max(width, height) / uint32_t(std::max(side, 1)));
    const uint32_t outW = std::max<uint32_t>(1, width / step), outH = std::max<uint32_t>(1, height / step);
    const uint32_t taps = step >= 2 ? 2 : 1;
    const std::vector<uint32_t> columns = tapPositions(width, outW, taps);
    const std::vector<uint32_t> rows = tapPositions(height, outH, taps);

    QImage image(int(outW), int(outH), QImage::Format_RGB32);
    if (image.isNull()) {
        out.error = "can't allocate memory";
        return out;
    }
    const RowReader reader(info, palette);
    std::vector<uint8_t> row(rowBytes);
    std::vector<uint32_t> sums(size_t(outW) * 3);
    const uint32_t count = taps * taps;
    for (uint32_t y = 0; y < outH; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (uint32_t ty = 0; ty < taps; ++ty) {
            const uint32_t sourceRow = rows[size_t(y) * taps + ty];
            const uint32_t fileRow = info.topDown ? sourceRow : height - 1 - sourceRow;
            if (!file.Seek(info.start + int64_t(info.offBits) + int64_t(uint64_t(fileRow) * rowBytes), SEEK_SET)
                || !file.ReadExactly(row.data(), row.size())) {
                out.error = "BMP pixel data is truncated";
                return out;
            }
            for (uint32_t x = 0; x < outW; ++x)
                for (uint32_t tx = 0; tx < taps; ++tx) {
                    const RGBQUAD c = reader.pixel(row.data(), columns[size_t(x) * taps + tx]);
                    sums[3 * x] += c.rgbRed;
                    sums[3 * x + 1] += c.rgbGreen;
                    sums[3 * x + 2] += c.rgbBlue;
                }
        }
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (uint32_t x = 0; x < outW; ++x)
            line[x] = qRgb(int((sums[3 * x] + count / 2) / count), int((sums[3 * x + 1] + count / 2) / count),
                           int((sums[3 * x + 2] + count / 2) / count));
    }
    out.image = std::move(image);
    out.result = SampledBmp::Done;
    return out;
}
