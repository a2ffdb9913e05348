// Thumbnails decode only the pixels they need. libjpeg reports fatal errors
// with longjmp, so the function that calls it holds only plain data; the
// image it fills is made by the caller through a callback.
#include "thumbnail_decode.h"

#include "picture/core/bmp_codec.h"
#include "picture/core/bmp_sample.h"
#include "picture/core/jpeg_errors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace files {

namespace {

// libjpeg's memory for one decode: a progressive file keeps every
// coefficient of the picture, so a hostile header must not get more.
constexpr long kMaxJpegMemory = 192L * 1024 * 1024;

struct ScaledJpegJob {
    const unsigned char* data;
    unsigned long size;
    int side;
    unsigned fullWidth, fullHeight;
    // Makes the 32-bit image; its first row and the bytes between rows.
    unsigned char* (*create)(void* target, unsigned width, unsigned height, size_t* stride);
    void* target;
    bool cmyk;
    bool cut;
    bool flawed;
};

bool decodeScaledJpeg(ScaledJpegJob* job)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    setUpJpegErrors(err, cinfo.err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegMemory;
    jpeg_mem_src(&cinfo, job->data, job->size);
    jpeg_read_header(&cinfo, TRUE);
    job->fullWidth = cinfo.image_width;
    job->fullHeight = cinfo.image_height;
    if (qint64(cinfo.image_width) * cinfo.image_height > kMaxThumbnailSourcePixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // The smallest of 1/8, 2/8, ... 8/8 that still gives `side` pixels.
    const unsigned longSide = std::max(cinfo.image_width, cinfo.image_height);
    unsigned eighths = 1;
    while (eighths < 8 && (longSide * eighths + 7) / 8 < unsigned(job->side))
        ++eighths;
    cinfo.scale_num = eighths;
    cinfo.scale_denom = 8;
    job->cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = job->cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    cinfo.do_fancy_upsampling = FALSE;  // the picture is made smaller still
    jpeg_calc_output_dimensions(&cinfo);
    size_t stride = 0;
    unsigned char* first = job->create(job->target, cinfo.output_width, cinfo.output_height, &stride);
    if (!first) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = first + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    job->cut = err.truncated;
    job->flawed = err.warnings > 0;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

unsigned char* createImage(void* target, unsigned width, unsigned height, size_t* stride)
{
    auto* image = static_cast<QImage*>(target);
    *image = QImage(int(width), int(height), QImage::Format_RGB32);
    if (image->isNull())
        return nullptr;
    *stride = size_t(image->bytesPerLine());
    return image->bits();
}

// CMYK rows as libjpeg gives them (inverted, as Adobe writes them) into
// the same bytes as BGRX.
void cmykToBgrx(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            const int c = p[0], m = p[1], yellow = p[2], k = p[3];
            p[0] = uchar(yellow * k / 255);
            p[1] = uchar(m * k / 255);
            p[2] = uchar(c * k / 255);
            p[3] = 0xff;
        }
    }
}

DecodedPicture decodeJpeg(const QByteArray& bytes, int side)
{
    DecodedPicture out;
    ScaledJpegJob job{};
    job.data = reinterpret_cast<const unsigned char*>(bytes.constData());
    job.size = static_cast<unsigned long>(bytes.size());
    job.side = side;
    job.create = createImage;
    job.target = &out.image;
    if (!decodeScaledJpeg(&job)) {
        out.image = QImage();
        return out;
    }
    if (job.cmyk)
        cmykToBgrx(out.image);
    out.fullSize = QSize(int(job.fullWidth), int(job.fullHeight));
    out.cut = job.cut;
    out.flawed = job.flawed || job.cut;
    return out;
}

// The codec reads straight from the bytes already in memory.
class BorrowedBytes final : public CxFile {
public:
    explicit BorrowedBytes(const QByteArray& bytes) : m_bytes(bytes) {}
    size_t Read(void* buffer, size_t size) override
    {
        const size_t n = std::min(size, size_t(m_bytes.size()) - m_pos);
        std::memcpy(buffer, m_bytes.constData() + m_pos, n);
        m_pos += n;
        return n;
    }
    size_t Write(const void*, size_t) override { return 0; }
    bool Seek(int64_t offset, int origin) override
    {
        const int64_t base = origin == SEEK_CUR ? int64_t(m_pos) : origin == SEEK_END ? int64_t(m_bytes.size()) : 0;
        if (base + offset < 0 || base + offset > m_bytes.size())
            return false;
        m_pos = size_t(base + offset);
        return true;
    }
    int64_t Tell() const override { return int64_t(m_pos); }
    int64_t Size() const override { return m_bytes.size(); }
    bool Flush() override { return true; }

private:
    const QByteArray& m_bytes;
    size_t m_pos = 0;
};

// The size a BMP header claims, read before the codec allocates anything.
QSize bmpHeaderSize(const QByteArray& bytes)
{
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        return {};
    const auto u32 = [&](int at) {
        uint32_t v;
        std::memcpy(&v, bytes.constData() + at, 4);
        return v;
    };
    if (u32(14) == 12) {
        uint16_t w, h;
        std::memcpy(&w, bytes.constData() + 18, 2);
        std::memcpy(&h, bytes.constData() + 20, 2);
        return QSize(w, h);
    }
    const int32_t w = int32_t(u32(18)), h = int32_t(u32(22));
    if (w == INT32_MIN || h == INT32_MIN)
        return {};
    return QSize(std::abs(w), std::abs(h));
}

DecodedPicture decodeBmp(const QByteArray& bytes)
{
    DecodedPicture out;
    const QSize claimed = bmpHeaderSize(bytes);
    if (claimed.isEmpty() || qint64(claimed.width()) * claimed.height() > kMaxThumbnailSourcePixels)
        return out;
    BorrowedBytes file(bytes);
    CxImage picture(CXIMAGE_FORMAT_BMP);
    if (!::decodeBmp(file, picture))
        return out;
    out.image = picture.ToQImage();
    out.fullSize = out.image.size();
    return out;
}

DecodedPicture decodeAs(const QByteArray& bytes, PictureKind kind, int side)
{
    return kind == PictureKind::Bmp ? decodeBmp(bytes) : decodeJpeg(bytes, side);
}

}  // namespace

PictureKind pictureKindOf(QStringView name)
{
    if (name.endsWith(u"bmp", Qt::CaseInsensitive))
        return PictureKind::Bmp;
    if (name.endsWith(u"jpg", Qt::CaseInsensitive) || name.endsWith(u"jpeg", Qt::CaseInsensitive))
        return PictureKind::Jpeg;
    return PictureKind::None;
}

DecodedPicture decodeForThumbnail(const QByteArray& bytes, PictureKind kind, int side)
{
    if (kind == PictureKind::None || bytes.isEmpty())
        return {};
    DecodedPicture picture = decodeAs(bytes, kind, side);
    if (picture.image.isNull())
        picture = decodeAs(bytes, kind == PictureKind::Bmp ? PictureKind::Jpeg : PictureKind::Bmp, side);
    return picture;
}

DecodedPicture sampleBmpForThumbnail(CxFile& file, int side, bool* wholeNeeded, QString* error)
{
    SampledBmp sampled = sampleBmp(file, side, kMaxThumbnailSourcePixels);
    *wholeNeeded = sampled.result == SampledBmp::RunLength;
    if (error)
        *error = QString::fromStdString(sampled.error);
    if (sampled.result != SampledBmp::Done)
        return {};
    return {std::move(sampled.image), sampled.fullSize};
}

}  // namespace files
