// Recordings and the names of saved files: a long recording still stops by
// hand, and no picture or clip takes the name of one that exists.
#include "capture/core/recording_clock.h"
#include "capture/core/snapshot_files.h"
#include "capture/device/clip_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace capture;

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

}  // namespace

TEST(RecordingClock, ADayLongLimitStillStopsByHand)
{
    for (const int limit : {86400, 86401, 200000}) {
        RecordingClock clock;
        clock.start(limit);
        ASSERT_EQ(clock.tick(), RecordingClock::Tick::ShowElapsed);
        clock.stopByHand();
        EXPECT_EQ(clock.tick(), RecordingClock::Tick::StopWriting) << limit;
        EXPECT_EQ(clock.tick(), RecordingClock::Tick::Waiting);
        EXPECT_EQ(clock.tick(), RecordingClock::Tick::Close);
        EXPECT_FALSE(clock.active());
    }
}

TEST(RecordingClock, AStopByHandDoesNotCarryIntoTheNextRecording)
{
    RecordingClock clock;
    clock.start(5);
    clock.stopByHand();
    while (clock.active())
        clock.tick();
    clock.start(5);
    EXPECT_EQ(clock.tick(), RecordingClock::Tick::ShowElapsed);
}

TEST(SavedFileNames, AFreeNameIsKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("abc20240105103000.bmp"));
    EXPECT_EQ(unusedPath(path), path);
}

TEST(SavedFileNames, ATakenNameGetsTheNextCounterAndKeepsItsTimeOrder)
{
    QTemporaryDir dir;
    const QDateTime time(QDate(2024, 1, 5), QTime(10, 30, 0));
    const QString first = snapshotPath(dir.path(), QStringLiteral("abc"), time, false);
    touch(first);
    const QString second = unusedPath(first);
    EXPECT_EQ(second, dir.filePath(QStringLiteral("abc20240105103000_1.jpg")));
    touch(second);
    EXPECT_EQ(unusedPath(first), dir.filePath(QStringLiteral("abc20240105103000_2.jpg")));
    touch(snapshotPath(dir.path(), QStringLiteral("abc"), time.addSecs(1), false));
    // Listed by name, the pictures come in the order they were taken.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("abc20240105103000.jpg"), QStringLiteral("abc20240105103000_1.jpg"),
                           QStringLiteral("abc20240105103001.jpg")}));
}

TEST(SavedFileNames, AClipNameIsFreeOnlyWhenItsThumbnailNameIsFreeToo)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("20240105103000.avi"));
    touch(clipThumbnailPath(clip));  // a thumbnail whose clip was removed
    EXPECT_EQ(unusedPath(clip, QStringLiteral(".bmp")), dir.filePath(QStringLiteral("20240105103000_1.avi")));
}

TEST(SavedFileNames, ANameWithoutExtensionCountsAtItsEnd)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("a.b"));
    const QString path = dir.filePath(QStringLiteral("a.b/name"));
    touch(path);
    EXPECT_EQ(unusedPath(path), dir.filePath(QStringLiteral("a.b/name_1")));
}

TEST(ClipNames, TheClipPrefixCannotLeaveTheVideoFolder)
{
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("Video"));
    ASSERT_TRUE(QDir().mkpath(video));
    const QString path = clipPathFor(video, QStringLiteral("../x"));
    EXPECT_TRUE(path.startsWith(video + QLatin1String("/.._x"))) << path.toStdString();
    EXPECT_EQ(clipPathFor(video, QStringLiteral("..")).left(video.size() + 3), video + QLatin1String("/__"));
}

TEST(ClipNames, AClipOfTheSameSecondDoesNotReplaceTheLastOne)
{
    QTemporaryDir dir;
    // Clips for this second and the next few, so the clip named below finds
    // its second taken whenever it runs.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList made;
    for (int s = 0; s < 5; ++s) {
        made.append(clipPath(dir.path(), QStringLiteral("p"), now.addSecs(s)));
        touch(made.last());
    }
    const QString path = clipPathFor(dir.path(), QStringLiteral("p"));
    EXPECT_FALSE(made.contains(path)) << path.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(path.endsWith(QLatin1String("_1.avi"))) << path.toStdString();
}
