#include "pixel_convert.h"

#include "picture/core/jpeg_errors.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace capture {

namespace {

// Where decoded rows go: a base, a step between rows (negative for
// bottom-up) and the colour space libjpeg writes.
struct RowTarget {
    uint8_t* first;  // the top row
    ptrdiff_t step;
    int fullWidth;  // the frame's size in the file
    int fullHeight;
    int denom;  // decoded at 1 / denom of that size
    J_COLOR_SPACE space;
};

// Holds only plain data: libjpeg leaves through longjmp on errors.
int decodeRows(const uint8_t* jpeg, size_t size, RowTarget out)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    setUpJpegErrors(err, cinfo.err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (int(cinfo.image_width) != out.fullWidth || int(cinfo.image_height) != out.fullHeight) {
        jpeg_destroy_decompress(&cinfo);
        return 2;
    }
    cinfo.out_color_space = out.space;
    cinfo.dct_method = JDCT_ISLOW;
    // Scaled decoding: the inverse DCT gives each 8 x 8 block as 4 x 4,
    // 2 x 2 or 1 x 1 pixels, so less of the frame is ever computed.
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(out.denom);
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height && !err.truncated) {
        JSAMPROW row = out.first + ptrdiff_t(cinfo.output_scanline) * out.step;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    if (err.truncated) {
        jpeg_destroy_decompress(&cinfo);
        return 3;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

}  // namespace

namespace {

// BT.601 studio-range tables: each term of the conversion looked up once.
struct YuvTables {
    int y[256], rv[256], gu[256], gv[256], bu[256];
    uint8_t clamp[1024 + 256];  // index + 512: -512 .. 767
    YuvTables()
    {
        for (int i = 0; i < 256; ++i) {
            y[i] = 298 * (i - 16) + 128;
            rv[i] = 409 * (i - 128);
            gu[i] = -100 * (i - 128);
            gv[i] = -208 * (i - 128);
            bu[i] = 516 * (i - 128);
        }
        for (int i = 0; i < 1024 + 256; ++i)
            clamp[i] = static_cast<uint8_t>(std::clamp(i - 512, 0, 255));
    }
};

const YuvTables& yuvTables()
{
    static const YuvTables t;
    return t;
}

}  // namespace

bool yuyvToBgr(const uint8_t* yuyv, size_t size, FrameView out)
{
    if (!yuyv || size < size_t(out.width) * out.height * 2 || out.width < 2)
        return false;
    const YuvTables& t = yuvTables();
    const uint8_t* c = t.clamp + 512;
    const int pairs = out.width / 2;
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* in = yuyv + size_t(y) * out.width * 2;
        uint8_t* o = out.data + size_t(out.height - 1 - y) * out.stride;
        for (int i = 0; i < pairs; ++i, in += 4, o += 6) {
            const int y0 = t.y[in[0]], y1 = t.y[in[2]];
            const int r = t.rv[in[3]], g = t.gu[in[1]] + t.gv[in[3]], b = t.bu[in[1]];
            o[0] = c[(y0 + b) >> 8];
            o[1] = c[(y0 + g) >> 8];
            o[2] = c[(y0 + r) >> 8];
            o[3] = c[(y1 + b) >> 8];
            o[4] = c[(y1 + g) >> 8];
            o[5] = c[(y1 + r) >> 8];
        }
        if (out.width & 1) {  // an odd last pixel takes the pair's chroma
            o[0] = o[-3], o[1] = o[-2], o[2] = o[-1];
        }
    }
    return true;
}

namespace {

bool decodeInto(const uint8_t* jpeg, size_t size, const RowTarget& target, std::string* error)
{
    const auto fail = [&](const char* why) {
        if (error)
            *error = why;
        return false;
    };
    if (!jpeg || size < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return fail("empty or not a JPEG frame");
    if (target.denom != 1 && target.denom != 2 && target.denom != 4 && target.denom != 8)
        return fail("no such scale");
    switch (decodeRows(jpeg, size, target)) {
    case 0: return true;
    case 2: return fail("JPEG frame of another size");
    case 3: return fail("JPEG frame cut short");
    default: return fail("damaged JPEG frame");
    }
}

}  // namespace

bool mjpegToBgr(const uint8_t* jpeg, size_t size, FrameView out, std::string* error)
{
    return mjpegToBgrScaled(jpeg, size, out.width, out.height, 1, out, error);
}

bool mjpegToDisplay(const uint8_t* jpeg, size_t size, uint32_t* pixels, int width, int height, int stridePixels,
                    std::string* error)
{
    return mjpegToDisplayScaled(jpeg, size, width, height, 1, pixels, stridePixels, error);
}

bool mjpegToBgrScaled(const uint8_t* jpeg, size_t size, int fullWidth, int fullHeight, int denom, FrameView out,
                      std::string* error)
{
    if (out.width != reducedSize(fullWidth, denom) || out.height != reducedSize(fullHeight, denom)) {
        if (error)
            *error = "rows of another size";
        return false;
    }
    const RowTarget target{
        out.data + size_t(out.height - 1) * out.stride, -ptrdiff_t(out.stride), fullWidth, fullHeight, denom, JCS_EXT_BGR};
    return decodeInto(jpeg, size, target, error);
}

bool mjpegToDisplayScaled(const uint8_t* jpeg, size_t size, int fullWidth, int fullHeight, int denom, uint32_t* pixels,
                          int stridePixels, std::string* error)
{
    // BGRX in memory is 0xXXRRGGBB on this little-endian machine: libjpeg
    // fills X with 0xff.
    const RowTarget target{
        reinterpret_cast<uint8_t*>(pixels), ptrdiff_t(stridePixels) * 4, fullWidth, fullHeight, denom, JCS_EXT_BGRX};
    return decodeInto(jpeg, size, target, error);
}

bool yuyvToDisplay(const uint8_t* yuyv, size_t size, uint32_t* pixels, int width, int height, int stridePixels)
{
    if (!yuyv || size < size_t(width) * height * 2 || width < 2)
        return false;
    // Plain integer arithmetic per pixel pair, which the compiler turns into
    // vector instructions (this file is built with -O3).
    const auto clamp = [](int v) { return static_cast<uint32_t>(std::min(std::max(v, 0), 255)); };
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = yuyv + size_t(y) * width * 2;
        uint32_t* o = pixels + size_t(y) * stridePixels;
        const int pairs = width / 2;
        for (int i = 0; i < pairs; ++i) {
            const int y0 = 298 * (in[4 * i] - 16) + 128;
            const int u = in[4 * i + 1] - 128;
            const int y1 = 298 * (in[4 * i + 2] - 16) + 128;
            const int v = in[4 * i + 3] - 128;
            const int r = 409 * v, g = -100 * u - 208 * v, b = 516 * u;
            o[2 * i] = 0xFF000000u | clamp((y0 + r) >> 8) << 16 | clamp((y0 + g) >> 8) << 8 | clamp((y0 + b) >> 8);
            o[2 * i + 1] = 0xFF000000u | clamp((y1 + r) >> 8) << 16 | clamp((y1 + g) >> 8) << 8 | clamp((y1 + b) >> 8);
        }
        if (width & 1)
            o[width - 1] = o[width - 2];
    }
    return true;
}

}  // namespace capture
