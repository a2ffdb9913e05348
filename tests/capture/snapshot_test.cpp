// Still pictures: their names, their files and what is burnt into them.
#include "capture/core/frame_ops.h"
#include "capture/core/snapshot_files.h"
#include "capture/core/snapshot_render.h"
#include "capture/core/stage_micrometer.h"

#include "measure/core/picture_options.h"
#include "picture/core/cx_image.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace capture;

namespace {

const QDateTime kTime(QDate(2024, 1, 5), QTime(10, 30, 0));

// A frame whose left half is red and right half blue, bottom-up BGR rows.
SnapshotInput halfAndHalf(int width, int height)
{
    SnapshotInput in;
    in.width = width;
    in.height = height;
    const int stride = rowStride(width);
    in.rows.assign(size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &in.rows[size_t(y) * stride + size_t(x) * 3];
            const bool left = x < width / 2;
            p[0] = left ? 0 : 255;                          // blue
            p[2] = left ? 255 : 0;                          // red
            p[1] = static_cast<uint8_t>(y == 0 ? 255 : 0);  // the bottom row green
        }
    }
    return in;
}

}  // namespace

TEST(SnapshotNames, PrefixAndTimeToTheSecond)
{
    EXPECT_EQ(snapshotPath(QStringLiteral("/d/Picture"), QStringLiteral("abc"), kTime, true),
              QStringLiteral("/d/Picture/abc20240105103000.bmp"));
    EXPECT_EQ(snapshotPath(QStringLiteral("/d/Picture"), QString(), kTime, true),
              QStringLiteral("/d/Picture/20240105103000.bmp"));
    EXPECT_EQ(snapshotPath(QStringLiteral("/d/Picture"), QString(), kTime, false),
              QStringLiteral("/d/Picture/20240105103000.jpg"));
}

TEST(SnapshotNames, PrefixCannotLeaveThePictureFolder)
{
    EXPECT_EQ(snapshotPath(QStringLiteral("/d/Picture"), QStringLiteral("../../etc/x"), kTime, true),
              QStringLiteral("/d/Picture/.._.._etc_x20240105103000.bmp"));
}

TEST(SnapshotNames, ClipThumbnailSitsBesideTheClip)
{
    EXPECT_EQ(clipThumbnailPath(QStringLiteral("/v/20240105103000.avi")), QStringLiteral("/v/20240105103000.avi.bmp"));
}

TEST(SnapshotNames, SizeOptions)
{
    EXPECT_DOUBLE_EQ(measure::exportFactor(1, 2), 1.0);
    EXPECT_DOUBLE_EQ(measure::exportFactor(2, 2), 0.5);
    EXPECT_DOUBLE_EQ(measure::exportFactor(3, 2), 0.33);
    EXPECT_DOUBLE_EQ(measure::exportFactor(4, 0.75), 0.75);
}

TEST(SnapshotFiles, BmpAndJpegCarryTheChosenDpi)
{
    QTemporaryDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    for (const bool bmp : {true, false}) {
        const QString path = dir.filePath(bmp ? QStringLiteral("a.bmp") : QStringLiteral("a.jpg"));
        ASSERT_EQ(writePicture(picture, path, bmp, 300), QString());
        CxImage back;
        ASSERT_TRUE(back.Load(path.toStdString(), bmp ? CXIMAGE_FORMAT_BMP : CXIMAGE_FORMAT_JPG)) << back.GetLastError();
        EXPECT_EQ(back.GetWidth(), 64u);
        EXPECT_EQ(back.GetHeight(), 48u);
        EXPECT_EQ(back.GetXDPI(), 300);
        EXPECT_EQ(back.GetYDPI(), 300);
        const RGBQUAD c = back.GetPixelColor(10, 10);
        EXPECT_NEAR(c.rgbGreen, 200, bmp ? 0 : 4);
    }
}

TEST(SnapshotFiles, FailureNamesTheReasonAndLeavesNoFile)
{
    QTemporaryDir dir;
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QString path = dir.filePath(QStringLiteral("missing/a.bmp"));
    const QString failure = writePicture(picture, path, true, 96);
    EXPECT_TRUE(failure.contains(QStringLiteral("No such file or directory"))) << failure.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SnapshotFiles, ReplacingKeepsNoTemporaryBehind)
{
    QTemporaryDir dir;
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QString path = dir.filePath(QStringLiteral("a.bmp"));
    ASSERT_EQ(writePicture(picture, path, true, 96), QString());
    picture.fill(Qt::black);
    ASSERT_EQ(writePicture(picture, path, true, 96), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.bmp")});
}

TEST(SnapshotFiles, ANewPictureNeverReplacesOne)
{
    QTemporaryDir dir;
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QString path = dir.filePath(QStringLiteral("shot.bmp"));
    ASSERT_EQ(writePicture(picture, path, true, 96), QString());
    picture.fill(Qt::black);
    QString saved;
    picture::PictureMetadata metadata;
    metadata.camera = QStringLiteral("Scope");
    ASSERT_EQ(writeNewPicture(picture, path, true, 96, metadata, saved), QString());
    EXPECT_EQ(saved, dir.filePath(QStringLiteral("shot_1.bmp")));
    // The sidecar goes with the name the picture got.
    EXPECT_EQ(picture::readSidecar(saved), metadata);
    EXPECT_FALSE(QFile::exists(picture::sidecarPath(path)));
    CxImage first, second;
    ASSERT_TRUE(first.Load(path.toStdString(), CXIMAGE_FORMAT_BMP));
    ASSERT_TRUE(second.Load(saved.toStdString(), CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(first.GetPixelColor(3, 3).rgbRed, 255);
    EXPECT_EQ(second.GetPixelColor(3, 3).rgbRed, 0);
    EXPECT_EQ(second.GetXDPI(), 96);

    const QString missing = dir.filePath(QStringLiteral("gone/shot.jpg"));
    EXPECT_EQ(writeNewPicture(picture, missing, false, 96, std::nullopt, saved), QStringLiteral("No such file or directory"));
}

TEST(SnapshotRender, UprightAndMirroredLikeQImage)
{
    SnapshotInput plain = halfAndHalf(40, 30);
    const QImage upright = renderSnapshot(plain);
    ASSERT_EQ(upright.size(), QSize(40, 30));
    EXPECT_EQ(QColor(upright.pixel(2, 10)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(upright.pixel(2, 29)), QColor(255, 255, 0));  // the bottom row, red and green

    SnapshotInput turned = halfAndHalf(40, 30);
    turned.mirror = true;
    turned.flip = true;
    const QImage both = renderSnapshot(turned);
    EXPECT_EQ(both, upright.mirrored(true, true));
}

// The micrometer's 0 to 10 (1 mm) measured on a half-size snapshot with the
// scale the picture records reads 1 mm, not the half a millimetre the
// full-size calibration would give.
TEST(SnapshotFiles, APictureAtAnotherSizeRecordsTheScaleForItsSize)
{
    StageMicrometer micrometer;
    micrometer.prepare(640, 480, false);
    measure::MeasureState calibration;
    calibration.scaleLength = 1.0;
    calibration.scalePixels = micrometer.pixelsPerMm();
    calibration.calibrationName = QStringLiteral("10x");

    SnapshotInput in = halfAndHalf(640, 480);
    in.scaleX = in.scaleY = measure::exportFactor(2, 1.0);
    const QImage half = renderSnapshot(in);
    ASSERT_EQ(half.size(), QSize(320, 240));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("half.jpg"));
    const auto metadata = stillMetadata(calibration, QSize(640, 480), half.size(), kTime, 1, QStringLiteral("Scope"), 96);
    ASSERT_EQ(writePicture(half, path, false, 96, metadata), QString());

    const auto read = picture::readPictureMetadata(path);
    ASSERT_TRUE(read && read->scale);
    EXPECT_EQ(read->scale->size, QSize(320, 240));
    EXPECT_EQ(read->scale->profile, QStringLiteral("10x"));
    const double ruler0To10 = micrometer.pixelsPerMm() * half.width() / 640.0;  // in the saved picture's pixels
    EXPECT_EQ(calibration.format(ruler0To10 / read->scale->pixelsPerUnit), QStringLiteral("1.000"));
    // Without a profile there is no scale to record.
    calibration.calibrationName.clear();
    EXPECT_FALSE(stillMetadata(calibration, QSize(640, 480), half.size(), kTime, 1, QString(), 96).scale);
}

TEST(SnapshotRender, ScaledToTheSizeOption)
{
    SnapshotInput in = halfAndHalf(40, 30);
    in.scaleX = in.scaleY = 0.5;
    EXPECT_EQ(renderSnapshot(in).size(), QSize(20, 15));
    SnapshotInput third = halfAndHalf(40, 30);
    third.scaleX = third.scaleY = 0.33;
    EXPECT_EQ(renderSnapshot(third).size(), QSize(13, 10));
}

TEST(SnapshotRender, MeasurementsAndOverlayOnlyWhenBurntIn)
{
    measure::MeasureState state;
    measure::VideoShapeList shapes;
    auto line = std::make_unique<measure::CShape>();
    line->kind = 1;
    line->live = true;
    line->inProgress = 0;
    line->lineColour = QColor(0, 255, 0);
    line->points = {{{5, 25}, {35, 25}, {20, 20}}};
    line->value1 = 30;
    shapes.push_back(std::move(line));

    for (const bool burnIn : {false, true}) {
        SnapshotInput in = halfAndHalf(40, 30);
        in.burnIn = burnIn;
        in.shapes = &shapes;
        in.measure = &state;
        in.overlay.mode = measure::OverlayCrosshair;
        in.overlay.crossX = 30;
        in.overlay.crossY = 5;
        in.overlay.colour = QColor(255, 255, 255);
        const QImage picture = renderSnapshot(in);
        EXPECT_EQ(QColor(picture.pixel(10, 25)) == QColor(0, 255, 0), burnIn);
        EXPECT_EQ(QColor(picture.pixel(30, 15)) == QColor(255, 255, 255), burnIn);  // the crosshair's vertical line
    }
}
