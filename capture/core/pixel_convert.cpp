#include "pixel_convert.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace capture {

namespace {

inline uint8_t clamp8(int v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

struct JpegError {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool truncated;
};

extern "C" void jpegFatal(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

extern "C" void jpegMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegError*>(cinfo->err)->truncated = true;
}

// Holds only plain data: libjpeg leaves through longjmp on errors.
int decodeInto(const uint8_t* jpeg, size_t size, FrameView out)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegFatal;
    err.pub.emit_message = jpegMessage;
    err.truncated = false;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (int(cinfo.image_width) != out.width || int(cinfo.image_height) != out.height) {
        jpeg_destroy_decompress(&cinfo);
        return 2;
    }
    cinfo.out_color_space = JCS_EXT_BGR;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height && !err.truncated) {
        JSAMPROW row = out.data + size_t(out.height - 1 - int(cinfo.output_scanline)) * out.stride;
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

bool yuyvToBgr(const uint8_t* yuyv, size_t size, FrameView out)
{
    if (!yuyv || size < size_t(out.width) * out.height * 2 || out.width < 2)
        return false;
    const int pairs = out.width / 2;
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* in = yuyv + size_t(y) * out.width * 2;
        uint8_t* o = out.data + size_t(out.height - 1 - y) * out.stride;
        for (int i = 0; i < pairs; ++i, in += 4, o += 6) {
            const int c0 = 298 * (in[0] - 16);
            const int c1 = 298 * (in[2] - 16);
            const int d = in[1] - 128;
            const int e = in[3] - 128;
            const int rAdd = 409 * e + 128;
            const int gAdd = -100 * d - 208 * e + 128;
            const int bAdd = 516 * d + 128;
            o[0] = clamp8((c0 + bAdd) >> 8);
            o[1] = clamp8((c0 + gAdd) >> 8);
            o[2] = clamp8((c0 + rAdd) >> 8);
            o[3] = clamp8((c1 + bAdd) >> 8);
            o[4] = clamp8((c1 + gAdd) >> 8);
            o[5] = clamp8((c1 + rAdd) >> 8);
        }
        if (out.width & 1) {  // an odd last pixel takes the pair's chroma
            o[0] = o[-3], o[1] = o[-2], o[2] = o[-1];
        }
    }
    return true;
}

bool mjpegToBgr(const uint8_t* jpeg, size_t size, FrameView out, std::string* error)
{
    const auto fail = [&](const char* why) {
        if (error)
            *error = why;
        return false;
    };
    if (!jpeg || size < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return fail("empty or not a JPEG frame");
    switch (decodeInto(jpeg, size, out)) {
    case 0: return true;
    case 2: return fail("JPEG frame of another size");
    case 3: return fail("JPEG frame cut short");
    default: return fail("damaged JPEG frame");
    }
}

}  // namespace capture
