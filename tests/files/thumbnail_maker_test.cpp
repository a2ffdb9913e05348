// Thumbnails of single files: the tile's geometry, the scaled decode, the
// Exif thumbnail a JPEG carries, a BMP's rows, the shared cache, and files
// that are no pictures or try to be harmful.
#include "files/core/thumbnail_cache.h"
#include "files/core/thumbnail_decode.h"
#include "files/core/thumbnail_geometry.h"
#include "files/core/thumbnail_maker.h"
#include "picture/core/cx_file.h"
#include "picture/core/picture_metadata.h"

#include "sandbox.h"
#include "thumbnail_testing.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace files;
using testing_support::readFile;
using testing_support::writeFile;
using thumbnail_testing::ageFile;
using thumbnail_testing::writePicture;

namespace {

QByteArray jpegBytes(int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    thumbnail_testing::texturedPicture(width, height).save(&buffer, "JPG", 90);
    return bytes;
}

// The frame header's size fields of a baseline JPEG.
void claimSize(QByteArray& jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xff);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xff);
}

QString cacheRoot()
{
    return QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME")) + QLatin1String("/thumbnails");
}

QByteArray uriOf(const QString& path)
{
    return ThumbnailCache::fileUri(QFile::encodeName(path));
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool isGreen(QColor c)
{
    return c.green() > 200 && c.red() < 60 && c.blue() < 60;
}

// `jpeg` with its Exif block and thumbnail made from `thumbnailSource`, as the
// program writes its pictures.
QByteArray withOurExif(const QByteArray& jpeg, const QImage& thumbnailSource)
{
    std::vector<uint8_t> data(jpeg.begin(), jpeg.end());
    picture::PictureMetadata metadata;
    metadata.taken = QDateTime::currentDateTime();
    metadata.camera = QStringLiteral("Simulated microscope");
    EXPECT_TRUE(picture::embedMetadata(data, metadata, thumbnailSource));
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

// A TIFF block as cameras write it, in either byte order: IFD0 with one
// entry, then IFD1 naming `thumbnail` by offset and length (as JPEG). The
// positions of its fields, for spoiling them.
struct ExifBlock {
    QByteArray tiff;
    bool bigEndian = false;
    static constexpr int kIfd0Offset = 4, kIfd1Link = 22, kIfd1 = 26, kOffsetCount = 44, kOffsetValue = 48, kLengthValue = 60,
                         kThumbnail = 68;

    ExifBlock(const QByteArray& thumbnail, bool big) : bigEndian(big)
    {
        tiff = big ? QByteArray("MM\0\x2a", 4) : QByteArray("II\x2a\0", 4);
        put32(8);
        put16(1);  // IFD0: Make
        putEntry(0x010f, 2, 4, 0);
        tiff.replace(tiff.size() - 4, 4, "abc", 4);
        put32(kIfd1);
        put16(3);  // IFD1
        putEntry(0x0103, 3, 1, big ? 6u << 16 : 6u);
        putEntry(0x0201, 4, 1, kThumbnail);
        putEntry(0x0202, 4, 1, uint32_t(thumbnail.size()));
        put32(0);
        tiff += thumbnail;
    }
    void set16(int at, uint16_t v) { tiff.replace(at, 2, bytes(v, 2)); }
    void set32(int at, uint32_t v) { tiff.replace(at, 4, bytes(v, 4)); }
    // The JPEG `main` with this block in an APP1 segment after its SOI.
    QByteArray inJpeg(const QByteArray& main) const
    {
        const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
        const int length = int(payload.size()) + 2;
        return main.left(2) + QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xff) + payload + main.mid(2);
    }

private:
    QByteArray bytes(uint32_t v, int n) const
    {
        QByteArray out;
        for (int i = 0; i < n; ++i)
            out += char(bigEndian ? v >> (8 * (n - 1 - i)) : v >> (8 * i));
        return out;
    }
    void put16(uint16_t v) { tiff += bytes(v, 2); }
    void put32(uint32_t v) { tiff += bytes(v, 4); }
    void putEntry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
    {
        put16(tag);
        put16(type);
        put32(count);
        put32(value);
    }
};

// Reads through to a file in memory, counting what was read.
class CountingFile final : public CxMemFile {
public:
    using CxMemFile::CxMemFile;
    size_t Read(void* buffer, size_t size) override
    {
        const size_t n = CxMemFile::Read(buffer, size);
        bytesRead += n;
        return n;
    }
    size_t bytesRead = 0;
};

// The same BMP with its rows from top to bottom (a negative height).
QByteArray topDown(const QByteArray& bmp)
{
    qint32 offBits, width, height;
    quint16 bits;
    std::memcpy(&offBits, bmp.constData() + 10, 4);
    std::memcpy(&width, bmp.constData() + 18, 4);
    std::memcpy(&height, bmp.constData() + 22, 4);
    std::memcpy(&bits, bmp.constData() + 28, 2);
    const int row = (width * bits + 31) / 32 * 4;
    QByteArray out = bmp.left(offBits);
    for (int y = height - 1; y >= 0; --y)
        out += bmp.mid(offBits + qsizetype(y) * row, row);
    const qint32 negative = -height;
    out.replace(22, 4, reinterpret_cast<const char*>(&negative), 4);
    return out;
}

// The largest difference of any channel, and the mean difference.
std::pair<int, double> difference(const QImage& a, const QImage& b)
{
    int most = 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) {
                most = std::max(most, std::abs(d));
                sum += std::abs(d);
            }
        }
    return {most, sum / (3.0 * a.width() * a.height())};
}

}  // namespace

TEST(ThumbnailGeometry, WidePicturesLieCentredFromTopToBottomAndTallOnesFromLeftToRight)
{
    EXPECT_EQ(thumbnailPlacement(QSize(200, 100)), QRect(0, 15, 60, 30));
    EXPECT_EQ(thumbnailPlacement(QSize(100, 200)), QRect(15, 0, 30, 60));
    EXPECT_EQ(thumbnailPlacement(QSize(1920, 1080)), QRect(0, 13, 60, 34));  // 33.75 rounds up
    EXPECT_EQ(thumbnailPlacement(QSize(50, 50)), QRect(0, 0, 60, 60));
    EXPECT_TRUE(thumbnailPlacement(QSize(0, 10)).isEmpty());
}

TEST(ThumbnailGeometry, TheTileHasAGreyGroundAndAGreyOrRedFrame)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QImage fitted = fitThumbnail(picture, picture.size());
    ASSERT_EQ(fitted.size(), QSize(60, 30));
    for (const bool chosen : {false, true}) {
        QImage tile(60, 60, QImage::Format_RGB32);
        QPainter p(&tile);
        paintThumbnailTile(p, QPoint(0, 0), fitted, chosen);
        p.end();
        EXPECT_EQ(tile.pixelColor(30, 5), kThumbnailGround);
        EXPECT_EQ(tile.pixelColor(30, 30), QColor(Qt::blue));
        EXPECT_EQ(tile.pixelColor(0, 0), chosen ? kChosenFrame : kThumbnailFrame);
        EXPECT_EQ(tile.pixelColor(59, 59), chosen ? kChosenFrame : kThumbnailFrame);
    }
}

TEST(ThumbnailDecode, AFullHdJpegIsDecodedAtAnEighth)
{
    const DecodedPicture d = decodeForThumbnail(jpegBytes(1920, 1080), PictureKind::Jpeg, 128);
    EXPECT_EQ(d.image.size(), QSize(240, 135));
    EXPECT_EQ(d.fullSize, QSize(1920, 1080));
    EXPECT_FALSE(d.cut);
    // A small one is decoded large enough for the side asked for.
    EXPECT_GE(decodeForThumbnail(jpegBytes(200, 100), PictureKind::Jpeg, 128).image.width(), 128);
}

TEST(ThumbnailDecode, GreyJpegsAndPalettedBmpsGiveTheirPictures)
{
    QImage grey(320, 160, QImage::Format_Grayscale8);
    grey.fill(90);
    QByteArray jpeg, bmp;
    QBuffer jb(&jpeg), bb(&bmp);
    jb.open(QIODevice::WriteOnly);
    bb.open(QIODevice::WriteOnly);
    ASSERT_TRUE(grey.save(&jb, "JPG"));
    ASSERT_TRUE(grey.convertToFormat(QImage::Format_Indexed8).save(&bb, "BMP"));
    for (const auto& [bytes, kind] : {std::pair{jpeg, PictureKind::Jpeg}, std::pair{bmp, PictureKind::Bmp}}) {
        const DecodedPicture d = decodeForThumbnail(bytes, kind, 128);
        ASSERT_FALSE(d.image.isNull());
        EXPECT_EQ(d.fullSize, QSize(320, 160));
        const QColor c = d.image.pixelColor(d.image.width() / 2, d.image.height() / 2);
        EXPECT_NEAR(c.red(), 90, 3);
        EXPECT_NEAR(c.green(), 90, 3);
        EXPECT_NEAR(c.blue(), 90, 3);
    }
}

TEST(ThumbnailDecode, AJpegNamedBmpStillGivesItsPicture)
{
    EXPECT_EQ(decodeForThumbnail(jpegBytes(320, 240), PictureKind::Bmp, 128).fullSize, QSize(320, 240));
}

TEST(ThumbnailCache, UrisAreEscapedByteByByteAsTheDesktopDoes)
{
    EXPECT_EQ(ThumbnailCache::fileUri("/home/a b/Pic(1)#2%.jpg"), QByteArray("file:///home/a%20b/Pic(1)%232%25.jpg"));
    EXPECT_EQ(ThumbnailCache::fileUri("/x/\xC3\x84\xFF.jpg"), QByteArray("file:///x/%C3%84%FF.jpg"));
}

TEST(ThumbnailMaker, ADecodedThumbnailIsSharedThroughTheCacheAndUsedNextTime)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/Picture/PIC.JPG");
    ASSERT_TRUE(writePicture(pic, 1920, 1080));
    const ThumbnailCache cache;
    const ThumbnailMaker maker(&cache);

    const Thumbnail made = maker.make(pic);
    EXPECT_EQ(made.outcome, ThumbnailOutcome::Made);
    EXPECT_EQ(made.fitted.size(), QSize(60, 34));

    const QString stored = cache.thumbnailPath(uriOf(pic));
    EXPECT_TRUE(stored.startsWith(cacheRoot() + QLatin1String("/normal/")));
    const QImage entry(stored, "png");
    EXPECT_EQ(entry.text(QStringLiteral("Thumb::URI")), QStringLiteral("file://") + pic);
    EXPECT_EQ(entry.text(QStringLiteral("Thumb::MTime")), QString::number(QFileInfo(pic).lastModified().toSecsSinceEpoch()));
    EXPECT_EQ(entry.size(), QSize(120, 67));  // the 1/8 decode halved: at most 128 a side
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(stored).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(cacheRoot()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const Thumbnail cached = maker.make(pic);
    EXPECT_EQ(cached.outcome, ThumbnailOutcome::FromCache);
    EXPECT_EQ(cached.fitted.size(), QSize(60, 34));

    // The file changed: the stored thumbnail is stale.
    ASSERT_TRUE(writePicture(pic, 100, 200, 2));
    ageFile(pic, 30);
    const Thumbnail again = maker.make(pic);
    EXPECT_EQ(again.outcome, ThumbnailOutcome::Made);
    EXPECT_EQ(again.fitted.size(), QSize(30, 60));
}

TEST(ThumbnailMaker, AThumbnailFromAnotherProgramIsUsedInsteadOfDecoding)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/a.jpg");
    writeFile(pic, "not decodable: only the cache can give a picture");
    ageFile(pic);
    const ThumbnailCache cache;
    QImage theirs(128, 64, QImage::Format_RGB32);
    theirs.fill(Qt::green);
    ASSERT_TRUE(cache.write(uriOf(pic), QFileInfo(pic).lastModified().toSecsSinceEpoch(), theirs, QSize(1000, 500)));
    const Thumbnail t = ThumbnailMaker(&cache).make(pic);
    EXPECT_EQ(t.outcome, ThumbnailOutcome::FromCache);
    EXPECT_EQ(t.fitted.size(), QSize(60, 30));
    EXPECT_EQ(t.fitted.pixelColor(30, 15), QColor(Qt::green));
}

TEST(ThumbnailMaker, AFileThatIsNoPictureIsNotedAsAFailureAndNotDecodedAgain)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/text.jpg");
    writeFile(pic, "hello");
    ageFile(pic);
    const ThumbnailCache cache;
    const ThumbnailMaker maker(&cache);
    EXPECT_EQ(maker.make(pic).outcome, ThumbnailOutcome::NoPicture);
    EXPECT_TRUE(QFileInfo(cacheRoot() + QLatin1String("/fail/vellumet")).isDir());
    EXPECT_TRUE(cache.failedBefore(uriOf(pic), QFileInfo(pic).lastModified().toSecsSinceEpoch()));
    EXPECT_FALSE(QFileInfo::exists(cache.thumbnailPath(uriOf(pic))));
}

TEST(ThumbnailMaker, AFileJustWrittenIsNotCached)
{
    // It may still be written within the same second, which the cache cannot tell apart.
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/new.jpg");
    ASSERT_TRUE(writePicture(pic, 320, 240));
    ageFile(pic, 0);
    const ThumbnailCache cache;
    EXPECT_EQ(ThumbnailMaker(&cache).make(pic).outcome, ThumbnailOutcome::Made);
    EXPECT_FALSE(QFileInfo::exists(cache.thumbnailPath(uriOf(pic))));
}

TEST(ThumbnailBadInput, APipeNamedLikeAPictureDoesNotBlock)
{
    testing_support::Sandbox box;
    const QString fifo = box.path() + QLatin1String("/x.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const ThumbnailCache cache;
    EXPECT_EQ(ThumbnailMaker(&cache).make(fifo).outcome, ThumbnailOutcome::NotAFile);
}

TEST(ThumbnailBadInput, AFolderNamedLikeAPicture)
{
    testing_support::Sandbox box;
    const QString folder = box.path() + QLatin1String("/a.jpg");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(ThumbnailMaker(nullptr).make(folder).outcome, ThumbnailOutcome::NotAFile);
}

TEST(ThumbnailBadInput, AnUnreadableFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/locked.jpg");
    ASSERT_TRUE(writePicture(pic, 64, 48));
    ASSERT_EQ(::chmod(QFile::encodeName(pic).constData(), 0), 0);
    const ThumbnailCache cache;
    EXPECT_EQ(ThumbnailMaker(&cache).make(pic).outcome, ThumbnailOutcome::Gone);
    EXPECT_FALSE(cache.failedBefore(uriOf(pic), QFileInfo(pic).lastModified().toSecsSinceEpoch()));
}

TEST(ThumbnailBadInput, AnEmptyFileIsNoPictureAndNotNotedAsOne)
{
    // It may be a picture about to be written.
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/empty.jpg");
    writeFile(pic, QByteArray());
    ageFile(pic);
    const ThumbnailCache cache;
    EXPECT_EQ(ThumbnailMaker(&cache).make(pic).outcome, ThumbnailOutcome::NoPicture);
    EXPECT_FALSE(cache.failedBefore(uriOf(pic), QFileInfo(pic).lastModified().toSecsSinceEpoch()));
}

TEST(ThumbnailBadInput, ACutJpegShowsWhatIsThereAndIsNotCached)
{
    testing_support::Sandbox box;
    const QByteArray whole = jpegBytes(640, 480);
    const QString pic = box.path() + QLatin1String("/cut.jpg");
    writeFile(pic, whole.left(whole.size() / 2));
    ageFile(pic);
    const ThumbnailCache cache;
    const Thumbnail t = ThumbnailMaker(&cache).make(pic);
    EXPECT_EQ(t.outcome, ThumbnailOutcome::Made);
    EXPECT_EQ(t.fitted.size(), QSize(60, 45));
    EXPECT_FALSE(QFileInfo::exists(cache.thumbnailPath(uriOf(pic))));

    // Cut inside its headers, there is nothing to show.
    writeFile(pic, whole.left(100));
    ageFile(pic, 120);
    EXPECT_EQ(ThumbnailMaker(&cache).make(pic).outcome, ThumbnailOutcome::NoPicture);
}

TEST(ThumbnailBadInput, HeadersClaimingAHugePictureAreRefusedBeforeAllocating)
{
    QByteArray jpeg = jpegBytes(64, 48);
    claimSize(jpeg, 65500, 65500);
    EXPECT_TRUE(decodeForThumbnail(jpeg, PictureKind::Jpeg, 128).image.isNull());

    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        thumbnail_testing::texturedPicture(8, 8).save(&buffer, "BMP");
    }
    const qint32 huge = 65500;
    bmp.replace(18, 4, reinterpret_cast<const char*>(&huge), 4);
    bmp.replace(22, 4, reinterpret_cast<const char*>(&huge), 4);
    EXPECT_TRUE(decodeForThumbnail(bmp, PictureKind::Bmp, 128).image.isNull());
}

TEST(ThumbnailBadInput, AFileDeletedBeforeItsTurn)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/gone.jpg");
    ASSERT_TRUE(writePicture(pic, 64, 48));
    ASSERT_TRUE(QFile::remove(pic));
    EXPECT_EQ(ThumbnailMaker(nullptr).make(pic).outcome, ThumbnailOutcome::Gone);
}

TEST(ThumbnailBadInput, ALoopOfLinks)
{
    testing_support::Sandbox box;
    const QString loop = box.path() + QLatin1String("/loop.jpg");
    ASSERT_EQ(::symlink("loop.jpg", QFile::encodeName(loop).constData()), 0);
    EXPECT_EQ(ThumbnailMaker(nullptr).make(loop).outcome, ThumbnailOutcome::Gone);
}

TEST(ThumbnailBadInput, ANameInAnyEncodingOfThePlatformWorks)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QStringLiteral("/\u00c4hre \u5fae.jpg");
    ASSERT_TRUE(writePicture(pic, 64, 48));
    ASSERT_EQ(QFile::decodeName(QFile::encodeName(pic)), pic);
    const ThumbnailCache cache;
    EXPECT_EQ(ThumbnailMaker(&cache).make(pic).outcome, ThumbnailOutcome::Made);
    EXPECT_EQ(ThumbnailMaker(&cache).make(pic).outcome, ThumbnailOutcome::FromCache);
}

TEST(ThumbnailMaker, AJpegsOwnExifThumbnailIsUsedWithoutDecodingThePicture)
{
    // The thumbnail is green, the picture is not, and all of the picture
    // after its headers is cut off: only the thumbnail can give green.
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/snapshot.jpg");
    const QByteArray whole = withOurExif(jpegBytes(1920, 1080), filled(1920, 1080, Qt::green));
    const qsizetype scan = whole.lastIndexOf(QByteArray("\xFF\xDA", 2));  // the first is the thumbnail's
    ASSERT_GT(scan, 0);
    writeFile(pic, whole.left(scan + 200));
    ageFile(pic);
    const ThumbnailCache cache;
    const Thumbnail t = ThumbnailMaker(&cache).make(pic);
    EXPECT_EQ(t.outcome, ThumbnailOutcome::Embedded);
    // The tile's shape and place, not the thumbnail's 4:3 with its black bars.
    ASSERT_EQ(t.fitted.size(), QSize(60, 34));
    for (const QPoint at : {QPoint(30, 0), QPoint(30, 17), QPoint(30, 33), QPoint(0, 17), QPoint(59, 17)})
        EXPECT_TRUE(isGreen(t.fitted.pixelColor(at))) << at.x() << "," << at.y();
    // Reading it again is as quick as the cache: no entry is written.
    EXPECT_FALSE(QFileInfo::exists(cache.thumbnailPath(uriOf(pic))));
}

TEST(ThumbnailMaker, AnyCamerasExifThumbnailIsUsedInEitherByteOrder)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/camera.jpg");
    const QByteArray thumbnail = encoded(filled(160, 120, Qt::green), "JPG");
    for (const bool bigEndian : {false, true}) {
        writeFile(pic, ExifBlock(thumbnail, bigEndian).inJpeg(jpegBytes(640, 480)));
        const Thumbnail t = ThumbnailMaker(nullptr).make(pic);
        EXPECT_EQ(t.outcome, ThumbnailOutcome::Embedded) << bigEndian;
        EXPECT_EQ(t.fitted.size(), QSize(60, 45));
        EXPECT_TRUE(isGreen(t.fitted.pixelColor(30, 22)));
    }
    // And as Debian's exiftool puts one in.
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (exiftool.isEmpty())
        GTEST_SKIP() << "no exiftool";
    const QString thumb = box.path() + QLatin1String("/thumb.jpg");
    writeFile(thumb, thumbnail);
    writeFile(pic, jpegBytes(640, 480));
    QProcess tool;
    tool.start(exiftool,
               {QStringLiteral("-q"), QStringLiteral("-overwrite_original"), QStringLiteral("-ThumbnailImage<=") + thumb, pic});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const Thumbnail t = ThumbnailMaker(nullptr).make(pic);
    EXPECT_EQ(t.outcome, ThumbnailOutcome::Embedded);
    EXPECT_TRUE(isGreen(t.fitted.pixelColor(30, 22)));
}

TEST(ThumbnailBadInput, AHostileExifBlockGetsItsThumbnailByDecoding)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/hostile.jpg");
    const QByteArray main = jpegBytes(640, 480);
    const QByteArray thumbnail = encoded(filled(160, 120, Qt::green), "JPG");
    using Spoil = std::function<void(ExifBlock&)>;
    const std::vector<std::pair<const char*, Spoil>> cases = {
        {"IFD0 past the end", [](ExifBlock& e) { e.set32(ExifBlock::kIfd0Offset, 0xFFFFFFF0u); }},
        {"IFD1 past the end", [](ExifBlock& e) { e.set32(ExifBlock::kIfd1Link, 0x7FFFFFF0u); }},
        {"IFD1 is IFD0", [](ExifBlock& e) { e.set32(ExifBlock::kIfd1Link, 8); }},
        {"IFD1's entries past the end", [](ExifBlock& e) { e.set16(ExifBlock::kIfd1, 0xFFFF); }},
        {"thumbnail past the end", [](ExifBlock& e) { e.set32(ExifBlock::kOffsetValue, uint32_t(e.tiff.size()) + 16); }},
        {"thumbnail length past the file", [](ExifBlock& e) { e.set32(ExifBlock::kLengthValue, 0xFFFFFF00u); }},
        {"a 4 GB count", [](ExifBlock& e) { e.set32(ExifBlock::kOffsetCount, 0xFFFFFFFFu); }},
        {"no JPEG", [](ExifBlock& e) { e.tiff.replace(ExifBlock::kThumbnail, 16, "not a JPEG at all"); }},
        {"a damaged JPEG",
         [](ExifBlock& e) {
             e.tiff.chop(20);
             e.set32(ExifBlock::kLengthValue, uint32_t(e.tiff.size() - ExifBlock::kThumbnail));
         }},
    };
    for (const bool bigEndian : {false, true})
        for (const auto& [name, spoil] : cases) {
            ExifBlock exif(thumbnail, bigEndian);
            spoil(exif);
            writeFile(pic, exif.inJpeg(main));
            const Thumbnail t = ThumbnailMaker(nullptr).make(pic);
            EXPECT_EQ(t.outcome, ThumbnailOutcome::Made) << name;
            EXPECT_EQ(t.fitted.size(), QSize(60, 45)) << name;
            EXPECT_FALSE(isGreen(t.fitted.pixelColor(30, 22))) << name;
        }
}

TEST(ThumbnailMaker, AnExifThumbnailSmallerThanTheTileIsNotUsed)
{
    testing_support::Sandbox box;
    const QString pic = box.path() + QLatin1String("/small.jpg");
    writeFile(pic, ExifBlock(encoded(filled(40, 30, Qt::green), "JPG"), false).inJpeg(jpegBytes(640, 480)));
    const Thumbnail t = ThumbnailMaker(nullptr).make(pic);
    EXPECT_EQ(t.outcome, ThumbnailOutcome::Made);
    EXPECT_FALSE(isGreen(t.fitted.pixelColor(30, 22)));
}

TEST(ThumbnailDecode, ABmpReadRowByRowLooksAsTheWholeDecodeAndReadsLittleOfTheFile)
{
    const QImage picture = thumbnail_testing::texturedPicture(1920, 1080);
    const QByteArray bottomUp = encoded(picture, "BMP");
    // Grey, so the palette holds every shade and no dithering gets between the two.
    const QByteArray paletted = encoded(
        picture.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_Indexed8), "BMP");
    for (const QByteArray& bmp : {bottomUp, topDown(bottomUp), paletted, topDown(paletted)}) {
        const DecodedPicture whole = decodeForThumbnail(bmp, PictureKind::Bmp, 128);
        ASSERT_FALSE(whole.image.isNull());
        CountingFile file(bmp.constData(), size_t(bmp.size()));
        bool wholeNeeded = true;
        const DecodedPicture rows = sampleBmpForThumbnail(file, 128, &wholeNeeded);
        ASSERT_FALSE(rows.image.isNull());
        EXPECT_FALSE(wholeNeeded);
        EXPECT_EQ(rows.fullSize, QSize(1920, 1080));
        EXPECT_EQ(rows.image.size(), QSize(128, 72));
        EXPECT_LT(file.bytesRead, size_t(bmp.size()) / 4);
        const auto [most, mean] = difference(fitThumbnail(rows.image, rows.fullSize), fitThumbnail(whole.image, whole.fullSize));
        EXPECT_LE(most, 24);
        EXPECT_LE(mean, 4.0);
    }
}

TEST(ThumbnailBadInput, ACutBmpFailsClearly)
{
    testing_support::Sandbox box;
    const QByteArray bmp = encoded(thumbnail_testing::texturedPicture(640, 480), "BMP");
    for (const QByteArray& cut : {bmp.left(bmp.size() - 100), topDown(bmp).left(bmp.size() / 2)}) {
        CxMemFile file(cut.constData(), size_t(cut.size()));
        bool wholeNeeded = true;
        QString error;
        EXPECT_TRUE(sampleBmpForThumbnail(file, 128, &wholeNeeded, &error).image.isNull());
        EXPECT_FALSE(wholeNeeded);
        EXPECT_EQ(error, QStringLiteral("BMP pixel data is truncated"));
        const QString pic = box.path() + QLatin1String("/cut.bmp");
        writeFile(pic, cut);
        EXPECT_EQ(ThumbnailMaker(nullptr).make(pic).outcome, ThumbnailOutcome::NoPicture);
    }
}
