// The picture windows' operations, checked against Qt's own image operations.
#include "picture/core/picture_operations.h"

#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace picture;

namespace {

QImage noise(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB888);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixelColor(x, y, QColor::fromRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    return img;
}

CxImage fromQt(const QImage& img)
{
    CxImage cx;
    EXPECT_TRUE(cx.CreateFromQImage(img));
    return cx;
}

QImage after(const QImage& img, int operation)
{
    CxImage cx = fromQt(img);
    EXPECT_TRUE(applyPictureOperation(cx, operation));
    EXPECT_EQ(cx.GetProgress(), 100u);
    return cx.ToQImage().convertToFormat(QImage::Format_RGB888);
}

}  // namespace

TEST(PictureOperations, FlipAndMirrorLikeQImage)
{
    const QImage img = noise(37, 21);  // odd sizes: the middle row and column stay
    EXPECT_EQ(after(img, OpFlipVertical), img.mirrored(false, true));
    EXPECT_EQ(after(img, OpMirror), img.mirrored(true, false));
}

TEST(PictureOperations, NegativeLikeQImage)
{
    const QImage img = noise(30, 20);
    QImage inverted = img;
    inverted.invertPixels();
    EXPECT_EQ(after(img, OpNegative), inverted);
}

TEST(PictureOperations, ChannelsCopyOneColourIntoTheOthers)
{
    const QImage img = noise(16, 9);
    const QImage red = after(img, OpRedChannel);
    const QImage green = after(img, OpGreenChannel);
    const QImage blue = after(img, OpBlueChannel);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            ASSERT_EQ(red.pixelColor(x, y), QColor(c.red(), c.red(), c.red()));
            ASSERT_EQ(green.pixelColor(x, y), QColor(c.green(), c.green(), c.green()));
            ASSERT_EQ(blue.pixelColor(x, y), QColor(c.blue(), c.blue(), c.blue()));
        }
    }
}

TEST(PictureOperations, PalettePicturesGiveTheSameColours)
{
    QImage indexed(12, 8, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(200, 10, 60), qRgb(5, 250, 90), qRgb(0, 0, 0)});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            indexed.setPixel(x, y, static_cast<uint>((x + y) % 3));
    const QImage truecolour = indexed.convertToFormat(QImage::Format_RGB888);
    for (const int op : {OpNegative, OpRedChannel, OpGreenChannel, OpBlueChannel})
        EXPECT_EQ(after(indexed, op), after(truecolour, op)) << op;
}

TEST(PictureOperations, StopsWhenAskedAndRefusesTheUnknown)
{
    CxImage cx = fromQt(noise(8, 8));
    cx.SetEscape(1);
    EXPECT_FALSE(applyPictureOperation(cx, OpNegative));
    cx.SetEscape(0);
    EXPECT_FALSE(applyPictureOperation(cx, 1214));
    CxImage empty;
    EXPECT_FALSE(applyPictureOperation(empty, OpMirror));
}

TEST(PictureNames, FormatFromTheExtensionInAnyCase)
{
    EXPECT_EQ(formatOfPath(QStringLiteral("/p/a.BMP")), uint32_t(CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(formatOfPath(QStringLiteral("/p/a.JPEG")), uint32_t(CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(formatOfPath(QStringLiteral("/p/a.jpg")), uint32_t(CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(formatOfPath(QStringLiteral("/p/a.png")), uint32_t(CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(formatOfPath(QStringLiteral("/p.jpg/noextension")), uint32_t(CXIMAGE_FORMAT_UNKNOWN));
}

TEST(PictureNames, SaveAsFallsBackForUnusableTitles)
{
    EXPECT_EQ(saveAsName(QStringLiteral("20240105103000.bmp")), QStringLiteral("20240105103000.bmp"));
    for (const char* title : {"a#b", "50%", "x;y", "a/b", "a\\b"})
        EXPECT_EQ(saveAsName(QString::fromLatin1(title)), QStringLiteral("UntitledImage")) << title;
}
