// A recording killed at any moment (SIGKILL: nothing of the program runs
// after it) keeps every frame it wrote: after the repair the clip plays in
// ffprobe, ffmpeg and OpenCV with those frames.
#include "capture/core/clip_repair.h"

#include "clip_checks.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <csignal>
#include <sys/types.h>

using namespace capture;

namespace {

class KilledRecording : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(KilledRecording, KeepsEveryFrameWrittenAfterTheRepair)
{
    std::mt19937 random(std::random_device{}());
    const char* mode = GetParam();
    QTemporaryDir dir;
    for (int round = 0; round < 6; ++round) {
        const QString clip = dir.filePath(QStringLiteral("killed%1.avi").arg(round));
        QProcess child;
        child.start(QStringLiteral(CLIP_WRITER_CHILD), {clip, QString::fromLatin1(mode)});
        ASSERT_TRUE(child.waitForStarted());
        // Anywhere from before the first frame to a few seconds in, across
        // the once-a-second header refresh and sync.
        const int killAfterMs = std::uniform_int_distribution<int>(0, 2500)(random);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < killAfterMs && child.state() == QProcess::Running)
            child.waitForReadyRead(std::max<qint64>(1, killAfterMs - timer.elapsed()));
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished());
        // The frames it said were in the file.
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        int written = 0;
        for (const QByteArray& line : lines)
            if (!line.isEmpty())
                written = line.toInt();
        const std::string where = std::string(mode) + " killed after " + std::to_string(killAfterMs) + " ms, "
            + std::to_string(written) + " frames written";
        if (!QFileInfo::exists(clip))
            continue;  // killed before the clip was made
        const ClipCondition condition = inspectClip(clip);
        if (condition == ClipCondition::Unreadable) {
            // Only a clip whose header was not yet written whole.
            EXPECT_EQ(written, 0) << where;
            continue;
        }
        EXPECT_EQ(condition, ClipCondition::Unfinished) << where;
        uint32_t kept = 0;
        QString error;
        ASSERT_TRUE(repairClip(clip, &kept, &error)) << where << error.toStdString();
        // Every frame reported, and at most the one being written as it died.
        EXPECT_GE(int(kept), written) << where;
        EXPECT_LE(int(kept), written + 1) << where;
        const testing_support::ProbedClip probed = testing_support::probeClip(clip);
        EXPECT_EQ(probed.packets, int(kept)) << where;
        EXPECT_EQ(probed.headerFrames, int(kept)) << where;
        if (kept > 0) {
            EXPECT_NEAR(probed.duration, kept / 5.0, 0.01) << where;
            EXPECT_EQ(testing_support::openCvFrames(clip), int(kept)) << where;
            QString errors;
            EXPECT_TRUE(testing_support::ffmpegDecodes(clip, &errors)) << where << errors.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, KilledRecording, ::testing::Values("mjpeg", "yuyv", "raw"));
