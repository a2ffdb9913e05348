// An uncompressed full-HD clip that grows past 1 GB (about 40 seconds of
// frames, written in well under a minute) plays to its end and seeks.
// It needs about 3 GB free in the temporary folder and is skipped otherwise.
#include "capture/core/clip_repair.h"
#include "capture/core/frame_ops.h"
#include "capture/device/clip_writer.h"

#include "clip_checks.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace capture;

TEST(LargeClip, AnUncompressedClipPastOneGigabytePlaysToItsEndAndSeeks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const qint64 free = QStorageInfo(dir.path()).bytesAvailable();
    if (free < 3LL * 1024 * 1024 * 1024)
        GTEST_SKIP() << "needs 3 GB free in " << dir.path().toStdString() << ", has " << free / (1024 * 1024) << " MB";

    constexpr int kWidth = 1920, kHeight = 1080, kFrames = 200;  // 6.2 MB each: 1.24 GB
    const QString clip = dir.filePath(QStringLiteral("large.avi"));
    ClipWriter writer;
    ASSERT_TRUE(writer.open(clip, kWidth, kHeight, false));
    const int stride = rowStride(kWidth);
    std::vector<uint8_t> rows(size_t(stride) * kHeight, 128);
    for (int i = 0; i < kFrames; ++i) {
        // The frame's number in the blue and green of the top row's first pixel.
        rows[size_t(kHeight - 1) * stride] = uint8_t(i);
        rows[size_t(kHeight - 1) * stride + 1] = uint8_t(255 - i);
        ASSERT_TRUE(writer.write(rows.data(), kWidth, kHeight, stride));
    }
    writer.close();
    ASSERT_EQ(writer.framesWritten(), kFrames);
    EXPECT_GT(QFileInfo(clip).size(), 1LL << 30);
    EXPECT_EQ(inspectClip(clip), ClipCondition::Whole);

    const testing_support::ProbedClip probed = testing_support::probeClip(clip);
    EXPECT_EQ(probed.packets, kFrames);
    EXPECT_EQ(probed.headerFrames, kFrames);
    EXPECT_NEAR(probed.duration, kFrames / 5.0, 0.01);
    QString errors;
    EXPECT_TRUE(testing_support::ffmpegDecodes(clip, &errors)) << errors.toStdString();

    // Seeks into the part past 1 GB: the frame at 39 s is number 195.
    const QString still = dir.filePath(QStringLiteral("frame.raw"));
    int code = -1;
    testing_support::runTool(QStringLiteral("ffmpeg"),
                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-ss"),
                              QStringLiteral("39.0"), QStringLiteral("-i"), clip, QStringLiteral("-frames:v"),
                              QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                              QStringLiteral("bgr24"), still},
                             &code);
    ASSERT_EQ(code, 0);
    QFile raw(still);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray first = raw.read(3);
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(uint8_t(first[0]), 195);
    EXPECT_EQ(uint8_t(first[1]), 255 - 195);

    cv::VideoCapture reader(clip.toStdString());
    ASSERT_TRUE(reader.isOpened());
    ASSERT_TRUE(reader.set(cv::CAP_PROP_POS_FRAMES, 190));
    cv::Mat frame;
    ASSERT_TRUE(reader.read(frame));
    EXPECT_EQ(frame.at<cv::Vec3b>(0, 0)[0], 190);
}
