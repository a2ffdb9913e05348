// JPEG reading and writing. libjpeg reports fatal errors with longjmp, so
// the functions that call it hold only plain data: every buffer and object
// with a destructor lives in the caller, outside the jump.
#include "jpeg_codec.h"
#include "jpeg_errors.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ScanLimit {
    jpeg_progress_mgr pub;
};

extern "C" void onProgress(j_common_ptr cinfo)
{
    // A progressive file with thousands of scans would take minutes.
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "JPEG file has more than %d scans", kMaxJpegScans);
        std::longjmp(err->jump, 1);
    }
}

// What the decoder needs from the picture, as plain callbacks.
struct DecodeJob {
    const unsigned char* data;
    unsigned long size;
    void* image;
    // Creates the picture; the row of line `y` (top first) afterwards.
    bool (*create)(void* image, unsigned width, unsigned height);
    unsigned char* (*row)(void* image, unsigned y);
    unsigned char* cmykRow;  // allocated by the caller once the width is known
    unsigned char* (*allocateCmykRow)(void* image, unsigned width);
    int dpiX, dpiY;
    char message[JMSG_LENGTH_MAX];
};

bool decodeCore(DecodeJob* job)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    ScanLimit scans;
    setUpJpegErrors(err, cinfo.err);
    if (setjmp(err.jump)) {
        std::snprintf(job->message, sizeof job->message, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    scans.pub.progress_monitor = onProgress;
    cinfo.progress = &scans.pub;
    jpeg_mem_src(&cinfo, job->data, job->size);
    jpeg_read_header(&cinfo, TRUE);

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (cinfo.density_unit == 1) {
        job->dpiX = cinfo.X_density;
        job->dpiY = cinfo.Y_density;
    } else if (cinfo.density_unit == 2) {
        job->dpiX = static_cast<int>(cinfo.X_density * 2.54 + 0.5);
        job->dpiY = static_cast<int>(cinfo.Y_density * 2.54 + 0.5);
    }
    // The picture's own size limit applies before libjpeg allocates anything large.
    if (!job->create(job->image, cinfo.image_width, cinfo.image_height)) {
        std::snprintf(job->message, sizeof job->message, "-");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cmyk && !(job->cmykRow = job->allocateCmykRow(job->image, cinfo.image_width))) {
        std::snprintf(job->message, sizeof job->message, "can't allocate memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    // Adobe files store CMYK inverted.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* out = job->row(job->image, cinfo.output_scanline);
        if (!cmyk) {
            JSAMPROW rows[1] = {out};
            jpeg_read_scanlines(&cinfo, rows, 1);
            continue;
        }
        JSAMPROW rows[1] = {job->cmykRow};
        jpeg_read_scanlines(&cinfo, rows, 1);
        const unsigned char* in = job->cmykRow;
        for (unsigned x = 0; x < cinfo.output_width; ++x, in += 4, out += 3) {
            const unsigned c = inverted ? in[0] : 255u - in[0];
            const unsigned m = inverted ? in[1] : 255u - in[1];
            const unsigned y = inverted ? in[2] : 255u - in[2];
            const unsigned k = inverted ? in[3] : 255u - in[3];
            out[0] = static_cast<unsigned char>((y * k + 127) / 255);
            out[1] = static_cast<unsigned char>((m * k + 127) / 255);
            out[2] = static_cast<unsigned char>((c * k + 127) / 255);
        }
        if (err.truncated)
            break;
    }
    if (err.truncated) {
        std::snprintf(job->message, sizeof job->message, "JPEG data is truncated");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (err.truncated) {
        std::snprintf(job->message, sizeof job->message, "JPEG data is truncated");
        return false;
    }
    return true;
}

struct EncodeJob {
    unsigned width, height;
    int quality;
    int dpiX, dpiY;
    // The BGR row of line `y` (top first), expanded by the caller if needed.
    const unsigned char* (*row)(void* ctx, unsigned y);
    void* ctx;
    unsigned char* output;
    unsigned long outputSize;
    char message[JMSG_LENGTH_MAX];
};

bool encodeCore(EncodeJob* job)
{
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    setUpJpegErrors(err, cinfo.err);
    if (setjmp(err.jump)) {
        std::snprintf(job->message, sizeof job->message, "%s", err.message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job->output, &job->outputSize);
    cinfo.image_width = job->width;
    cinfo.image_height = job->height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job->quality, TRUE);
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(job->dpiX > 0 && job->dpiX < 65536 ? job->dpiX : 96);
    cinfo.Y_density = static_cast<UINT16>(job->dpiY > 0 && job->dpiY < 65536 ? job->dpiY : 96);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {const_cast<unsigned char*>(job->row(job->ctx, cinfo.next_scanline))};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// Callbacks over a CxImage.
struct DecodeTarget {
    CxImage* image;
    std::vector<unsigned char> cmyk;
};

bool createImage(void* target, unsigned width, unsigned height)
{
    auto* t = static_cast<DecodeTarget*>(target);
    return t->image->Create(width, height, 24, CXIMAGE_FORMAT_JPG) != nullptr;
}

unsigned char* rowOf(void* target, unsigned y)
{
    auto* t = static_cast<DecodeTarget*>(target);
    return t->image->GetBits(t->image->GetHeight() - 1 - y);
}

unsigned char* allocateCmyk(void* target, unsigned width)
{
    auto* t = static_cast<DecodeTarget*>(target);
    t->cmyk.assign(size_t(width) * 4, 0);
    return t->cmyk.data();
}

struct EncodeSource {
    const CxImage* image;
    std::vector<unsigned char> expanded;
};

const unsigned char* sourceRow(void* ctx, unsigned y)
{
    auto* s = static_cast<EncodeSource*>(ctx);
    const CxImage& img = *s->image;
    const uint32_t row = img.GetHeight() - 1 - y;
    if (img.GetBpp() == 24)
        return img.GetBits(row);
    for (uint32_t x = 0; x < img.GetWidth(); ++x) {
        const RGBQUAD c = img.GetPixelColor(static_cast<int32_t>(x), static_cast<int32_t>(row));
        s->expanded[x * 3] = c.rgbBlue;
        s->expanded[x * 3 + 1] = c.rgbGreen;
        s->expanded[x * 3 + 2] = c.rgbRed;
    }
    return s->expanded.data();
}

struct RowsSource {
    const unsigned char* bottomUp;
    unsigned height;
    size_t stride;
};

const unsigned char* plainRow(void* ctx, unsigned y)
{
    const auto* s = static_cast<const RowsSource*>(ctx);
    return s->bottomUp + size_t(s->height - 1 - y) * s->stride;
}

}  // namespace

bool decodeJpeg(CxFile& file, CxImage& image)
{
    const int64_t size = file.Size() - file.Tell();
    if (size <= 2 || size > int64_t(CXIMAGE_MAX_MEMORY)) {
        image.SetLastError("Not a JPEG");
        return false;
    }
    std::vector<unsigned char> data(static_cast<size_t>(size));
    if (!file.ReadExactly(data.data(), data.size()) || data[0] != 0xFF || data[1] != 0xD8) {
        image.SetLastError("Not a JPEG");
        return false;
    }
    DecodeTarget target{&image, {}};
    DecodeJob job{};
    job.data = data.data();
    job.size = static_cast<unsigned long>(data.size());
    job.image = &target;
    job.create = createImage;
    job.row = rowOf;
    job.allocateCmykRow = allocateCmyk;
    job.dpiX = job.dpiY = 96;
    if (!decodeCore(&job)) {
        // A failed Create has already left its own reason.
        const std::string why = std::strcmp(job.message, "-") == 0 ? std::string(image.GetLastError()) : std::string(job.message);
        image.Destroy();
        image.SetLastError(why);
        return false;
    }
    image.SetXDPI(job.dpiX > 0 ? job.dpiX : 96);
    image.SetYDPI(job.dpiY > 0 ? job.dpiY : 96);
    image.SetProgress(100);
    return true;
}

bool encodeJpeg(const CxImage& image, CxFile& file, std::string& error)
{
    if (!image.IsValid()) {
        error = "null image!!!";
        return false;
    }
    EncodeSource source{&image, std::vector<unsigned char>(size_t(image.GetWidth()) * 3)};
    EncodeJob job{};
    job.width = image.GetWidth();
    job.height = image.GetHeight();
    job.quality = image.GetJpegQuality();
    job.dpiX = image.GetXDPI();
    job.dpiY = image.GetYDPI();
    job.row = sourceRow;
    job.ctx = &source;
    const bool ok = encodeCore(&job);
    bool written = false;
    if (ok)
        written = file.Write(job.output, job.outputSize) == job.outputSize;
    std::free(job.output);
    if (!ok)
        error = job.message;
    else if (!written)
        error = "JPEG write error";
    return ok && written;
}

bool encodeJpegRows(const unsigned char* bottomUpRows, unsigned width, unsigned height, size_t stride, int quality,
                    std::vector<unsigned char>& out, std::string& error)
{
    RowsSource source{bottomUpRows, height, stride};
    EncodeJob job{};
    job.width = width;
    job.height = height;
    job.quality = quality;
    job.dpiX = job.dpiY = 96;
    job.row = plainRow;
    job.ctx = &source;
    // Into the caller's buffer; libjpeg allocates a larger one when it must.
    out.resize(std::max(out.capacity(), size_t(width) * height / 2 + 4096));
    job.output = out.data();
    job.outputSize = static_cast<unsigned long>(out.size());
    const bool ok = encodeCore(&job);
    if (job.output != out.data()) {
        if (ok)
            out.assign(job.output, job.output + job.outputSize);
        std::free(job.output);
    } else {
        out.resize(ok ? job.outputSize : 0);
    }
    if (!ok)
        error = job.message;
    return ok;
}
