// The picture in memory and BMP round trips.
#include "picture/core/bmp_codec.h"
#include "picture/core/cx_image.h"

#include "picture_testing.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <unistd.h>

#include <gtest/gtest.h>

using namespace picture_testing;

TEST(CxImage, RowsArePaddedToFourBytes)
{
    CxImage img;
    ASSERT_TRUE(img.Create(3, 1, 24));
    EXPECT_EQ(img.GetEffWidth(), 12u);
    EXPECT_EQ(CxImage::RowSize(1, 1), 4u);
    EXPECT_EQ(CxImage::RowSize(33, 1), 8u);
    EXPECT_EQ(CxImage::RowSize(5, 4), 4u);
    EXPECT_EQ(CxImage::RowSize(9, 4), 8u);
    EXPECT_EQ(CxImage::RowSize(5, 8), 8u);
    EXPECT_EQ(CxImage::RowSize(5, 24), 16u);
    ASSERT_TRUE(img.Create(2, 2, 6));  // depths round up: 5 to 8 become 8
    EXPECT_EQ(img.GetBpp(), 8u);
    EXPECT_EQ(img.GetNumColors(), 256u);
    ASSERT_TRUE(img.Create(2, 2, 12));
    EXPECT_EQ(img.GetBpp(), 24u);
    EXPECT_EQ(img.GetNumColors(), 0u);
}

TEST(CxImage, CreateRefusesEmptyAndHugePictures)
{
    CxImage img;
    EXPECT_FALSE(img.Create(0, 10, 24));
    EXPECT_STREQ(img.GetLastError(), "CxImage::Create : width and height must be greater than zero");
    EXPECT_FALSE(img.Create(20000, 20000, 24));
    EXPECT_STREQ(img.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
    EXPECT_FALSE(img.IsValid());
    EXPECT_FALSE(img.Create(0xFFFFFFFFu, 0xFFFFFFFFu, 1));
    EXPECT_STREQ(img.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
}

TEST(CxImage, NewPictureIs96DpiAndUnknownTypesDoNotEncode)
{
    CxImage img;
    img.Create(4, 4, 24);
    EXPECT_EQ(img.GetXDPI(), 96);
    EXPECT_EQ(img.GetYDPI(), 96);
    EXPECT_EQ(img.GetJpegQuality(), 90);
    EXPECT_FALSE(img.Save("/tmp/never-written.gif", 2));
    EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
    CxMemFile mem;
    EXPECT_FALSE(img.Encode(&mem, 2));
    EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(img.Encode(nullptr, 1));
    EXPECT_STREQ(img.GetLastError(), "null file handler");
    CxImage empty;
    EXPECT_FALSE(empty.Encode(&mem, 1));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    EXPECT_FALSE(empty.Decode(&mem, 7));
    EXPECT_STREQ(empty.GetLastError(), "Decode: Unknown or wrong format");
}

TEST(CxImage, BmpRoundTripsAtEveryDepthAndOddWidth)
{
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        for (uint32_t width : {1u, 2u, 3u, 5u, 33u}) {
            for (uint32_t height : {1u, 3u}) {
                CxImage img = patterned(width, height, bpp);
                img.SetXDPI(300);
                img.SetYDPI(180);
                const QByteArray bytes = encode(img, CXIMAGE_FORMAT_BMP);
                ASSERT_EQ(bytes.size(), qsizetype(14 + img.GetSize())) << bpp << " " << width;
                CxImage back;
                std::string error;
                ASSERT_TRUE(decode(bytes, CXIMAGE_FORMAT_BMP, back, &error)) << error;
                EXPECT_EQ(back.GetBpp(), bpp);
                EXPECT_EQ(back.GetType(), uint32_t(CXIMAGE_FORMAT_BMP));
                EXPECT_EQ(back.GetXDPI(), 300);
                EXPECT_EQ(back.GetYDPI(), 180);
                EXPECT_EQ(rgbRows(back), rgbRows(img)) << bpp << " " << width << "x" << height;
                if (width == 5 && height == 3)
                    addFuzzSeed("bmp", QStringLiteral("roundtrip-%1bit.bmp").arg(bpp), bytes);
            }
        }
    }
}

TEST(CxImage, LoadFallsBackToTheRightFormatAndSaveWritesFiles)
{
    CxImage img = patterned(7, 5, 24);
    const std::string path = (QDir::tempPath() + QStringLiteral("/vellumet-cx-%1.bmp").arg(::getpid())).toStdString();
    ASSERT_TRUE(img.Save(path, CXIMAGE_FORMAT_BMP));
    CxImage asJpeg(path, CXIMAGE_FORMAT_JPG);  // wrong type asked: detected anyway
    EXPECT_TRUE(asJpeg.IsValid());
    EXPECT_EQ(asJpeg.GetType(), uint32_t(CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(rgbRows(asJpeg), rgbRows(img));
    CxImage missing;
    EXPECT_FALSE(missing.Load(path + ".absent", CXIMAGE_FORMAT_BMP));

    // A save that fails leaves the old file whole and no temporary behind.
    const QByteArray before = [&] {
        QFile f(QString::fromStdString(path));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_FALSE(img.Save(path, 2));
    CxImage empty;
    EXPECT_FALSE(empty.Save(path, CXIMAGE_FORMAT_BMP));
    QFile again(QString::fromStdString(path));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), before);
    EXPECT_TRUE(QDir::temp().entryList({QStringLiteral(".vellumet-cx-*")}, QDir::Hidden | QDir::Files).isEmpty());
    std::remove(path.c_str());
}

TEST(CxImage, PixelsFlipMirrorAndCopyBlock)
{
    CxImage img = patterned(10, 8, 24);
    const RGBQUAD corner = img.GetPixelColor(0, 0);
    img.Flip();
    EXPECT_EQ(img.GetPixelColor(0, 7), corner);
    img.Mirror();
    EXPECT_EQ(img.GetPixelColor(9, 7), corner);
    img.SetPixelColor(2, 3, {1, 2, 3, 0});
    EXPECT_EQ(img.GetPixelColor(2, 3), (RGBQUAD{1, 2, 3, 0}));

    for (uint32_t bpp : {1u, 4u, 8u}) {
        CxImage p = patterned(9, 3, bpp);
        const std::vector<uint8_t> before = rgbRows(p);
        p.Mirror();
        p.Mirror();
        EXPECT_EQ(rgbRows(p), before) << bpp;
        const RGBQUAD c = p.GetPalette()[1];
        p.SetPixelColor(4, 1, c);
        EXPECT_EQ(p.GetPixelColor(4, 1), c) << bpp;
    }

    // A 4 x 4 block centred on (5, 3) counted from the top, as bottom-up rows.
    CxImage src = patterned(10, 8, 24);
    std::vector<uint8_t> block(CxImage::RowSize(4, 24) * 4, 0xEE);
    ASSERT_TRUE(src.CopyBlock(5, 3, 4, 4, block.data()));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const RGBQUAD expected = src.GetPixelColor(3 + c, 7 - (1 + r));
            const uint8_t* got = block.data() + (3 - r) * 12 + c * 3;
            EXPECT_EQ(got[0], expected.rgbBlue);
            EXPECT_EQ(got[2], expected.rgbRed);
        }
    }
    ASSERT_TRUE(src.CopyBlock(0, 0, 4, 4, block.data()));  // half outside: black there
    EXPECT_EQ(block[3 * 12], 0);
    CxImage eight = patterned(10, 8, 8);
    EXPECT_FALSE(eight.CopyBlock(5, 3, 4, 4, block.data()));
}

TEST(CxImage, DrawsTheSameAsItsQtImage)
{
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        CxImage img = patterned(13, 7, bpp);
        QImage canvas(26, 14, QImage::Format_RGB32);
        QPainter p(&canvas);
        img.Draw(p, 0, 0, 26, 14);
        p.end();
        const QImage expected = img.ToQImage().convertToFormat(QImage::Format_RGB32).scaled(26, 14);
        EXPECT_EQ(canvas, expected) << bpp;
        CxImage back;
        ASSERT_TRUE(back.CreateFromQImage(img.ToQImage()));
        EXPECT_EQ(rgbRows(back), rgbRows(img)) << bpp;
    }
}

TEST(CxImage, EscapeFlagCancelsDecoding)
{
    const QByteArray bytes = encode(patterned(40, 200, 24), CXIMAGE_FORMAT_BMP);
    CxImage img;
    img.SetEscape(1);
    std::string error;
    EXPECT_FALSE(decode(bytes, CXIMAGE_FORMAT_BMP, img, &error));
    EXPECT_EQ(error, "Cancelled");
}
