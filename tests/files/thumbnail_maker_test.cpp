// Thumbnails of single files: the tile's geometry, the scaled decode, the
// shared cache, and files that are no pictures or try to be harmful.
#include "files/core/thumbnail_cache.h"
#include "files/core/thumbnail_decode.h"
#include "files/core/thumbnail_geometry.h"
#include "files/core/thumbnail_maker.h"

#include "sandbox.h"
#include "thumbnail_testing.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

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
    EXPECT_EQ(entry.size(), QSize(128, 72));
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
