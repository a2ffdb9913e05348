// BMP files other programs write by hand, and hostile ones: every damaged
// file fails with a reason, never a crash, a hang or a huge allocation.
#include "picture/core/cx_image.h"

#include "picture_testing.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using namespace picture_testing;

namespace {

// A BMP put together field by field.
struct Bmp {
    int32_t width = 4;
    int32_t height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t headerSize = 40;
    uint32_t clrUsed = 0;
    int64_t offBits = -1;  // -1: right after header, masks and palette
    std::vector<uint32_t> masks;
    std::vector<uint8_t> palette;  // 4 bytes an entry
    QByteArray pixels;

    QByteArray bytes() const
    {
        QByteArray info(static_cast<qsizetype>(headerSize), '\0');
        auto put32 = [&](int at, uint32_t v) {
            if (at + 4 <= info.size())
                std::memcpy(info.data() + at, &v, 4);
        };
        put32(0, headerSize);
        put32(4, static_cast<uint32_t>(width));
        put32(8, static_cast<uint32_t>(height));
        if (info.size() >= 16) {
            const uint16_t planes = 1;
            std::memcpy(info.data() + 12, &planes, 2);
            std::memcpy(info.data() + 14, &bitCount, 2);
        }
        put32(16, compression);
        put32(32, clrUsed);
        QByteArray extra;
        for (uint32_t m : masks)
            extra.append(reinterpret_cast<const char*>(&m), 4);
        extra.append(reinterpret_cast<const char*>(palette.data()), static_cast<qsizetype>(palette.size()));
        const uint32_t off = offBits >= 0 ? static_cast<uint32_t>(offBits)
                                          : static_cast<uint32_t>(14 + info.size() + extra.size());
        QByteArray file("BM");
        const uint32_t size = static_cast<uint32_t>(14 + info.size() + extra.size() + pixels.size());
        const uint32_t zero = 0;
        file.append(reinterpret_cast<const char*>(&size), 4);
        file.append(reinterpret_cast<const char*>(&zero), 4);
        file.append(reinterpret_cast<const char*>(&off), 4);
        return file + info + extra + pixels;
    }
};

QByteArray rows(int count, int rowBytes, char fill = '\x40')
{
    return QByteArray(count * rowBytes, fill);
}

std::vector<uint8_t> greyPalette(int n)
{
    std::vector<uint8_t> p;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<uint8_t>(i * 255 / (n - 1));
        p.insert(p.end(), {v, v, v, 0});
    }
    return p;
}

std::string failureOf(const QByteArray& bytes)
{
    CxImage img;
    std::string error;
    if (decode(bytes, CXIMAGE_FORMAT_BMP, img, &error))
        return "decoded";
    EXPECT_FALSE(img.IsValid());
    return error;
}

}  // namespace

TEST(BmpHostile, DamagedHeadersAndDataFailWithAReason)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;  // a part of the error text
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, const QByteArray& b, const char* reason) { cases.push_back({name, b, reason}); };
    const auto valid = [] {
        Bmp b;
        b.pixels = rows(2, 12);
        return b;
    };

    add("empty", QByteArray(), "Not a BMP");
    add("not BM", QByteArrayLiteral("PK\x03\x04 and the rest of a zip"), "Not a BMP");
    add("file header only", valid().bytes().left(14), "BMP info");
    Bmp b = valid();
    b.headerSize = 8;
    add("header size 8", b.bytes(), "BMP info");
    b = valid();
    b.headerSize = 5000;
    add("header larger than the file", b.bytes(), "BMP info");
    b = valid();
    b.width = 0;
    add("width 0", b.bytes(), "BMP info");
    b = valid();
    b.width = -4;
    add("negative width", b.bytes(), "BMP info");
    b = valid();
    b.height = 0;
    add("height 0", b.bytes(), "BMP info");
    b = valid();
    b.height = INT_MIN;
    add("height INT_MIN", b.bytes(), "BMP info");
    b = valid();
    b.bitCount = 7;
    add("7 bits per pixel", b.bytes(), "BMP info");
    b = valid();
    b.compression = 4;
    add("embedded JPEG", b.bytes(), "compression type not supported");
    b = valid();
    b.compression = 99;
    add("compression 99", b.bytes(), "unknown compression");
    b = valid();
    b.compression = 1;
    add("RLE8 at 24 bits", b.bytes(), "compression type not supported");
    b = valid();
    b.width = 60000;
    b.height = 60000;
    add("huge size over a few bytes", b.bytes(), "truncated");
    b = valid();
    b.pixels.chop(1);
    add("last row cut by a byte", b.bytes(), "truncated");
    b = valid();
    b.offBits = 20;
    add("pixels inside the header", b.bytes(), "offset");
    b = valid();
    b.offBits = 1 << 30;
    add("pixels past the end", b.bytes(), "offset");

    Bmp masked;
    masked.bitCount = 16;
    masked.compression = 3;
    masked.pixels = rows(2, 8);
    masked.masks = {0, 0x03E0, 0x001F};
    add("zero red mask", masked.bytes(), "masks");
    masked.masks = {0x7C00, 0x7E00, 0x001F};
    add("overlapping masks", masked.bytes(), "masks");
    masked.masks = {0x0F0F, 0x00F0, 0x3000};
    add("mask with a gap", masked.bytes(), "masks");
    masked.masks = {0xF0000, 0x03E0, 0x001F};
    add("mask wider than 16 bits", masked.bytes(), "masks");

    Bmp rle;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.palette = greyPalette(256);
    rle.pixels = QByteArray("\x00\x02\x01\x09\x02\x10\x00\x01", 8);  // jump 9 rows down
    add("RLE8 jump past the picture", rle.bytes(), "out of bounds");
    rle.pixels = QByteArray("\x00\x04\x01\x02", 4);  // a literal of 4 with 2 bytes left
    add("RLE8 literal past the data", rle.bytes(), "out of bounds");
    rle.pixels = QByteArray("\x02\x10\x00\x00\x02\x10\x00\x00\x02\x10\x00\x01", 12);
    rle.height = -2;
    add("RLE top-down", rle.bytes(), "compression type not supported");
    Bmp rle4;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.palette = greyPalette(16);
    rle4.pixels = QByteArray("\x00\x08\x12", 3);
    add("RLE4 literal past the data", rle4.bytes(), "out of bounds");

    for (const Case& c : cases) {
        const std::string why = failureOf(c.bytes);
        EXPECT_NE(why, "decoded") << c.name;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.name << ": " << why;
        addFuzzSeed("bmp", QString::fromLatin1(c.name).replace(QLatin1Char(' '), QLatin1Char('-')) + QLatin1String(".bmp"),
                    c.bytes);
    }
}

TEST(BmpHostile, OddButHarmlessFilesStillLoad)
{
    Bmp b;
    b.bitCount = 8;
    b.clrUsed = 0xFFFFFFFF;  // more colours than 8 bits can index: capped
    b.palette = greyPalette(256);
    b.pixels = rows(2, 4, '\x80');
    CxImage img;
    ASSERT_TRUE(decode(b.bytes(), CXIMAGE_FORMAT_BMP, img));
    EXPECT_EQ(img.GetPixelColor(1, 1).rgbRed, 128);

    Bmp rle;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.palette = greyPalette(256);
    rle.pixels = QByteArray("\x04\xff", 2);  // no end-of-line or end mark
    ASSERT_TRUE(decode(rle.bytes(), CXIMAGE_FORMAT_BMP, img));
    EXPECT_EQ(img.GetPixelColor(3, 0).rgbRed, 255);
    EXPECT_EQ(img.GetPixelColor(3, 1).rgbRed, 0);

    // Runs over the row end (writers that encode the padding) are cut at the
    // row end, and runs below the last row write nothing.
    rle.pixels = QByteArray("\x08\x10\x00\x00\x00\x00\x09\x20\x00\x01", 10);
    ASSERT_TRUE(decode(rle.bytes(), CXIMAGE_FORMAT_BMP, img));
    EXPECT_EQ(img.GetPixelColor(3, 0).rgbRed, 0x10);
    EXPECT_EQ(img.GetPixelColor(0, 1).rgbRed, 0);
}

TEST(BmpVariants, TopDownSixteenBitAndRle4ReadAsDrawn)
{
    // Top-down 24-bit: the first row in the file is the top.
    Bmp top;
    top.width = 1;
    top.height = -2;
    top.pixels = QByteArray("\x01\x02\x03\x00\x04\x05\x06\x00", 8);
    CxImage img;
    ASSERT_TRUE(decode(top.bytes(), CXIMAGE_FORMAT_BMP, img));
    EXPECT_EQ(img.GetPixelColor(0, 1), (RGBQUAD{1, 2, 3, 0}));  // y counts from the bottom
    EXPECT_EQ(img.GetPixelColor(0, 0), (RGBQUAD{4, 5, 6, 0}));

    // 16 bits without masks: 5-5-5.
    Bmp sixteen;
    sixteen.width = 2;
    sixteen.height = 1;
    sixteen.bitCount = 16;
    const uint16_t px[2] = {0x7C00, 0x001F | (0x10 << 5)};
    sixteen.pixels = QByteArray(reinterpret_cast<const char*>(px), 4);
    ASSERT_TRUE(decode(sixteen.bytes(), CXIMAGE_FORMAT_BMP, img));
    EXPECT_EQ(img.GetBpp(), 24u);
    EXPECT_EQ(img.GetPixelColor(0, 0), (RGBQUAD{0, 0, 255, 0}));
    EXPECT_EQ(img.GetPixelColor(1, 0), (RGBQUAD{255, 132, 0, 0}));

    // RLE4: a run alternating two colours, a literal, end of line, end.
    Bmp rle4;
    rle4.width = 6;
    rle4.height = 2;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.palette = greyPalette(16);
    rle4.pixels = QByteArray("\x03\x1f\x00\x03\x2a\x40\x00\x00\x00\x01", 10);
    ASSERT_TRUE(decode(rle4.bytes(), CXIMAGE_FORMAT_BMP, img));
    const int expected[6] = {1, 15, 1, 2, 10, 4};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(img.GetPixelColor(x, 0).rgbRed, expected[x] * 17) << x;
    EXPECT_EQ(img.GetPixelColor(0, 1).rgbRed, 0);
    addFuzzSeed("bmp", QStringLiteral("rle4.bmp"), rle4.bytes());
    addFuzzSeed("bmp", QStringLiteral("sixteen.bmp"), sixteen.bytes());
}
