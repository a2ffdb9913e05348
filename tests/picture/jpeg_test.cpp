// JPEG writing and reading, and damaged JPEG files.
#include "picture/core/cx_image.h"
#include "picture/core/jpeg_codec.h"

#include "picture_testing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

using namespace picture_testing;

namespace {

// A smooth picture, the kind JPEG keeps well.
CxImage smooth(uint32_t w, uint32_t h)
{
    CxImage img;
    img.Create(w, h, 24);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = img.GetBits(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 255 / w);
            p[1] = static_cast<uint8_t>(y * 255 / h);
            p[2] = static_cast<uint8_t>((x + y) * 255 / (w + h));
        }
    }
    return img;
}

// A progressive JPEG written by libjpeg itself.
QByteArray progressiveJpeg(int w, int h)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(size_t(w) * 3);
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < w * 3; ++x)
            row[size_t(x)] = static_cast<unsigned char>(x * 5 + c.next_scanline);
        JSAMPROW r[1] = {row.data()};
        jpeg_write_scanlines(&c, r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return bytes;
}

}  // namespace

TEST(Jpeg, RoundTripKeepsThePictureAndItsResolution)
{
    CxImage img = smooth(61, 37);
    img.SetXDPI(180);
    img.SetYDPI(240);
    const QByteArray bytes = encode(img, CXIMAGE_FORMAT_JPG);
    ASSERT_GT(bytes.size(), 100);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    CxImage back;
    std::string error;
    ASSERT_TRUE(decode(bytes, CXIMAGE_FORMAT_JPG, back, &error)) << error;
    EXPECT_EQ(back.GetWidth(), 61u);
    EXPECT_EQ(back.GetHeight(), 37u);
    EXPECT_EQ(back.GetBpp(), 24u);
    EXPECT_EQ(back.GetType(), uint32_t(CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(back.GetXDPI(), 180);
    EXPECT_EQ(back.GetYDPI(), 240);
    EXPECT_LE(maxDifference(rgbRows(back), rgbRows(img)), 12);
    addFuzzSeed("jpeg", QStringLiteral("smooth.jpg"), bytes);

    // Quality changes the size; palette pictures are written in colour.
    img.SetJpegQuality(30);
    EXPECT_LT(encode(img, CXIMAGE_FORMAT_JPG).size(), bytes.size());
    CxImage grey = patterned(16, 16, 8);
    CxImage greyBack;
    ASSERT_TRUE(decode(encode(grey, CXIMAGE_FORMAT_JPG), CXIMAGE_FORMAT_JPG, greyBack));
    EXPECT_EQ(greyBack.GetBpp(), 24u);
}

TEST(Jpeg, ProgressiveFilesReadAndEndlessScansAreRefused)
{
    const QByteArray progressive = progressiveJpeg(40, 24);
    CxImage img;
    std::string error;
    ASSERT_TRUE(decode(progressive, CXIMAGE_FORMAT_JPG, img, &error)) << error;
    addFuzzSeed("jpeg", QStringLiteral("progressive.jpg"), progressive);

    // The last scan repeated hundreds of times before the end marker.
    const qsizetype lastScan = progressive.lastIndexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype end = progressive.lastIndexOf(QByteArray("\xFF\xD9", 2));
    ASSERT_GT(lastScan, 0);
    const QByteArray scan = progressive.mid(lastScan, end - lastScan);
    QByteArray endless = progressive.left(end);
    for (int i = 0; i < kMaxJpegScans + 50; ++i)
        endless += scan;
    endless += QByteArray("\xFF\xD9", 2);
    EXPECT_FALSE(decode(endless, CXIMAGE_FORMAT_JPG, img, &error));
    EXPECT_NE(error.find("scans"), std::string::npos) << error;
}

TEST(Jpeg, DamagedFilesFailWithAReason)
{
    const QByteArray good = encode(smooth(64, 48), CXIMAGE_FORMAT_JPG);
    CxImage img;
    std::string error;
    for (qsizetype cut : {qsizetype(2), qsizetype(20), good.size() / 3, good.size() / 2, good.size() - 40}) {
        EXPECT_FALSE(decode(good.left(cut), CXIMAGE_FORMAT_JPG, img, &error)) << cut;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(img.IsValid());
    }
    EXPECT_FALSE(decode(good.left(good.size() - 40), CXIMAGE_FORMAT_JPG, img, &error));
    EXPECT_EQ(error, "JPEG data is truncated");

    // A frame header claiming a huge picture over junk: refused before any
    // large allocation.
    QByteArray huge = good;
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    huge[sof + 5] = '\x75', huge[sof + 6] = '\x30';  // height 30000
    huge[sof + 7] = '\x75', huge[sof + 8] = '\x30';  // width 30000
    EXPECT_FALSE(decode(huge, CXIMAGE_FORMAT_JPG, img, &error));
    EXPECT_EQ(error, "CXIMAGE_MAX_MEMORY exceeded");
    addFuzzSeed("jpeg", QStringLiteral("huge.jpg"), huge);

    QByteArray junk = good.left(sof + 20) + QByteArray(4000, '\x5A');
    EXPECT_FALSE(decode(junk, CXIMAGE_FORMAT_JPG, img, &error));
    EXPECT_FALSE(decode(QByteArray("\xFF\xD8\xFF", 3), CXIMAGE_FORMAT_JPG, img, &error));
    EXPECT_FALSE(decode(QByteArray("BM not a jpeg"), CXIMAGE_FORMAT_JPG, img, &error));
    EXPECT_EQ(error, "Not a JPEG");
}
