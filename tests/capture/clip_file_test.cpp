// Clips as files: what ffprobe, ffmpeg and OpenCV make of them, whether every
// index points at its frames, clips cut anywhere and repaired, clips in many
// parts, a full disk.
#include "capture/core/avi_writer.h"
#include "capture/core/clip_repair.h"
#include "capture/core/frame_ops.h"
#include "capture/core/simulated_camera.h"
#include "capture/device/clip_writer.h"

#include "clip_checks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <utime.h>

using namespace capture;
using testing_support::expectIndexesMatchFrames;
using testing_support::ffmpegDecodes;
using testing_support::idx1ReaderFrames;
using testing_support::openCvFrames;
using testing_support::probeClip;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Bottom-up rows whose top half is red and bottom half blue, with the frame
// number in the green of the first pixel of the top row.
std::vector<uint8_t> markedRows(int width, int height, int number)
{
    const int stride = rowStride(width);
    std::vector<uint8_t> rows(size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y) {  // y counts from the bottom
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rows[size_t(y) * stride + size_t(x) * 3];
            if (y >= height / 2)
                p[2] = 255;
            else
                p[0] = 255;
        }
    }
    rows[size_t(height - 1) * stride + 1] = uint8_t(number);
    return rows;
}

enum class Source { CameraJpeg, CameraYuyv, Rows };

struct ClipCase {
    const char* name;
    Source source;
    bool compressed;
};

class ClipKinds : public ::testing::TestWithParam<ClipCase> {};

}  // namespace

TEST_P(ClipKinds, PlayInFfprobeFfmpegAndOpenCv)
{
    const ClipCase c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.avi"));
    SimulatedCamera camera(SimulatedCamera::Model::Model1, 1);
    ASSERT_TRUE(camera.setFormat(640, 480, c.source == Source::CameraJpeg ? FormatMJPG : FormatYUY2));
    ClipWriter clip;
    ASSERT_TRUE(clip.open(path, 640, 480, c.compressed));
    ClipWriter other;
    EXPECT_FALSE(other.open(path, 640, 480, c.compressed)) << "an existing clip is never replaced";
    std::vector<uint8_t> bytes;
    QByteArray firstJpeg;
    constexpr int kFrames = 12;
    for (int i = 0; i < kFrames; ++i) {
        if (c.source == Source::Rows) {
            const std::vector<uint8_t> rows = markedRows(640, 480, i);
            ASSERT_TRUE(clip.write(rows.data(), 640, 480, rowStride(640)));
        } else {
            ASSERT_TRUE(camera.capture(i, bytes));
            if (i == 0)
                firstJpeg = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
            // As the capture thread hands frames over, but never faster than they are written.
            while (!clip.offer(bytes.data(), bytes.size(), camera.format(), 640, 480))
                QThread::msleep(5);
        }
    }
    EXPECT_FALSE(clip.write(bytes.data(), 320, 240, rowStride(320))) << "a frame of another size";
    clip.close();
    EXPECT_EQ(clip.framesWritten(), kFrames);
    EXPECT_TRUE(clip.failure().isEmpty());
    const QString& file = path;
    EXPECT_EQ(inspectClip(file), ClipCondition::Whole);

    const testing_support::ProbedClip probed = probeClip(file);
    EXPECT_EQ(probed.packets, kFrames);
    EXPECT_EQ(probed.headerFrames, kFrames);
    EXPECT_NEAR(probed.duration, kFrames / 5.0, 0.01);
    EXPECT_EQ(probed.width, 640);
    EXPECT_EQ(probed.height, 480);
    EXPECT_EQ(probed.codec, c.compressed ? QStringLiteral("mjpeg") : QStringLiteral("rawvideo"));
    QString errors;
    EXPECT_TRUE(ffmpegDecodes(file, &errors)) << errors.toStdString();
    cv::Mat last;
    EXPECT_EQ(openCvFrames(file, &last), kFrames);
    ASSERT_EQ(last.cols, 640);
    expectIndexesMatchFrames(file, kFrames);
    if (c.compressed) {
        EXPECT_EQ(idx1ReaderFrames(file), kFrames);
    }

    if (c.source == Source::CameraJpeg && c.compressed) {
        EXPECT_GE(bytesOf(file).indexOf(firstJpeg), 0) << "the camera's JPEG goes in unchanged";
    }
    if (c.source == Source::Rows) {
        // Upright: red on top, blue below, whatever the storage.
        const cv::Vec3b top = last.at<cv::Vec3b>(10, 10), bottom = last.at<cv::Vec3b>(470, 10);
        EXPECT_GT(top[2], 200);
        EXPECT_LT(top[0], 60);
        EXPECT_GT(bottom[0], 200);
        EXPECT_LT(bottom[2], 60);
    }
    if (c.source == Source::CameraYuyv) {
        // What the sensor saw, within the losses of YUYV and JPEG.
        const std::vector<uint8_t>& seen = camera.lastPicture();  // top row first
        double difference = 0;
        for (int y = 0; y < 480; y += 16) {
            for (int x = 0; x < 640; x += 16) {
                for (int k = 0; k < 3; ++k)
                    difference += std::abs(int(last.at<cv::Vec3b>(y, x)[k])
                                           - int(seen[(size_t(y) * 640 + size_t(x)) * 3 + size_t(k)]));
            }
        }
        EXPECT_LT(difference / (30.0 * 40 * 3), 12.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, ClipKinds,
                         ::testing::Values(ClipCase{"CameraJpegCompressed", Source::CameraJpeg, true},
                                           ClipCase{"CameraYuyvCompressed", Source::CameraYuyv, true},
                                           ClipCase{"RowsCompressed", Source::Rows, true},
                                           ClipCase{"CameraYuyvUncompressed", Source::CameraYuyv, false},
                                           ClipCase{"CameraJpegUncompressed", Source::CameraJpeg, false},
                                           ClipCase{"RowsUncompressed", Source::Rows, false}),
                         [](const auto& test) { return std::string(test.param.name); });

namespace {

// A clip of `n` frames written straight through the AVI writer, with the
// file's size after each frame (each one is in the file as soon as it is written).
struct WrittenClip {
    QString path;
    qint64 headerEnd = 0;
    std::vector<qint64> frameEnds;
    std::vector<qint64> dataEnds;  // before the pad byte of an odd-sized frame
    qint64 finished = 0;
};

WrittenClip writeClip(const QString& path, AviCodec codec, int n, uint64_t partLimit = 0)
{
    WrittenClip out;
    out.path = path;
    AviStreamFormat format;
    format.codec = codec;
    std::vector<uint8_t> bytes;
    SimulatedCamera camera(SimulatedCamera::Model::Model1, 1);
    if (codec == AviCodec::Mjpg) {
        camera.setFormat(640, 480, FormatMJPG);
        format.width = 640;
        format.height = 480;
    } else {
        format.width = 64;
        format.height = 48;
    }
    AviWriter writer;
    if (partLimit)
        writer.setPartLimit(partLimit);
    EXPECT_TRUE(writer.open(path, format));
    out.headerEnd = QFileInfo(path).size();
    for (int i = 0; i < n; ++i) {
        if (codec == AviCodec::Mjpg)
            camera.capture(i, bytes);
        else
            bytes = markedRows(64, 48, i);
        EXPECT_TRUE(writer.writeFrame(bytes.data(), bytes.size()));
        out.frameEnds.push_back(QFileInfo(path).size());
        out.dataEnds.push_back(out.frameEnds.back() - qint64(bytes.size() & 1));
    }
    EXPECT_TRUE(writer.close());
    out.finished = QFileInfo(path).size();
    return out;
}

void expectPlays(const QString& clip, int frames, const std::string& where)
{
    const testing_support::ProbedClip probed = probeClip(clip);
    EXPECT_EQ(probed.packets, frames) << where;
    EXPECT_EQ(probed.headerFrames, frames) << where;
    if (frames > 0) {
        EXPECT_NEAR(probed.duration, frames / 5.0, 0.01) << where;
        QString errors;
        EXPECT_TRUE(ffmpegDecodes(clip, &errors)) << where << errors.toStdString();
        EXPECT_EQ(openCvFrames(clip), frames) << where;
        if (probed.codec == QLatin1String("mjpeg")) {
            EXPECT_EQ(idx1ReaderFrames(clip), frames) << where;
        }
    }
    expectIndexesMatchFrames(clip, frames, where);
}

class ClipRepairCuts : public ::testing::TestWithParam<AviCodec> {};

}  // namespace

TEST_P(ClipRepairCuts, EveryCutKeepsTheWholeFramesBeforeIt)
{
    QTemporaryDir dir;
    const WrittenClip clip = writeClip(dir.filePath(QStringLiteral("whole.avi")), GetParam(), 6);
    ASSERT_EQ(inspectClip(clip.path), ClipCondition::Whole);
    const QByteArray whole = bytesOf(clip.path);
    ASSERT_EQ(whole.size(), clip.finished);

    // Within the header, at every frame's end and around it, inside every
    // frame, in the index.
    std::vector<qint64> cuts = {
        12, clip.headerEnd - 13, clip.headerEnd - 12, clip.headerEnd - 1, clip.headerEnd, clip.headerEnd + 3, clip.headerEnd + 8};
    qint64 previous = clip.headerEnd;
    for (const qint64 end : clip.frameEnds) {
        for (const qint64 cut : {previous + 4, previous + 9, (previous + end) / 2, end - 1, end, end + 1})
            cuts.push_back(cut);
        previous = end;
    }
    cuts.push_back((clip.frameEnds.back() + clip.finished) / 2);
    cuts.push_back(clip.finished - 1);

    for (const qint64 cut : cuts) {
        const std::string where = "cut at " + std::to_string(cut);
        const QString cutClip = dir.filePath(QStringLiteral("cut%1.avi").arg(cut));
        writeBytes(cutClip, whole.left(cut));
        if (cut < clip.headerEnd - 12) {  // before the end of "hdrl"
            EXPECT_EQ(inspectClip(cutClip), ClipCondition::Unreadable) << where;
            EXPECT_FALSE(repairClip(cutClip)) << where;
            EXPECT_EQ(bytesOf(cutClip), whole.left(cut)) << "left as it was";
            continue;
        }
        EXPECT_EQ(inspectClip(cutClip), ClipCondition::Unfinished) << where;
        uint32_t kept = 0;
        QString error;
        ASSERT_TRUE(repairClip(cutClip, &kept, &error)) << where << error.toStdString();
        // A frame whose bytes are all there counts, with or without its pad byte.
        const int expected = int(std::count_if(clip.dataEnds.begin(), clip.dataEnds.end(), [&](qint64 e) { return e <= cut; }));
        EXPECT_EQ(int(kept), expected) << where;
        EXPECT_EQ(inspectClip(cutClip), ClipCondition::Whole) << where;
        EXPECT_FALSE(QFile::exists(cutClip + QLatin1String(".repair")));
        expectPlays(cutClip, expected, where);
        QFile::remove(cutClip);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, ClipRepairCuts, ::testing::Values(AviCodec::Mjpg, AviCodec::Bgr24),
                         [](const auto& test) { return test.param == AviCodec::Mjpg ? "Mjpg" : "Uncompressed"; });

TEST(ClipParts, AClipInManyPartsPlaysSeeksAndIsRepaired)
{
    QTemporaryDir dir;
    // Parts of 64 KB: seven frames of 64 x 48 each, fifteen parts.
    const WrittenClip clip = writeClip(dir.filePath(QStringLiteral("parts.avi")), AviCodec::Bgr24, 100, 64 * 1024);
    EXPECT_EQ(inspectClip(clip.path), ClipCondition::Whole);
    const QByteArray whole = bytesOf(clip.path);
    EXPECT_EQ(whole.count("AVIX"), 14);
    expectPlays(clip.path, 100, "parts");
    // A frame near the end, reached by seeking: its number is in its first pixel.
    const QString still = dir.filePath(QStringLiteral("frame.raw"));
    int code = -1;
    testing_support::runTool(QStringLiteral("ffmpeg"),
                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-ss"),
                              QStringLiteral("19.0"), QStringLiteral("-i"), clip.path, QStringLiteral("-frames:v"),
                              QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                              QStringLiteral("bgr24"), still},
                             &code);
    ASSERT_EQ(code, 0);
    const QByteArray pixels = bytesOf(still);
    ASSERT_EQ(pixels.size(), 64 * 48 * 3);
    EXPECT_EQ(uint8_t(pixels[1]), 95);  // the frame at 19 s
    cv::VideoCapture reader(clip.path.toStdString());
    ASSERT_TRUE(reader.set(cv::CAP_PROP_POS_FRAMES, 80));
    cv::Mat m;
    ASSERT_TRUE(reader.read(m));
    EXPECT_EQ(m.at<cv::Vec3b>(0, 0)[1], 80);

    // Cut in the middle of a later part.
    const qint64 cut = (clip.frameEnds[70] + clip.frameEnds[71]) / 2;
    const QString cutClip = dir.filePath(QStringLiteral("cut.avi"));
    writeBytes(cutClip, whole.left(cut));
    EXPECT_EQ(inspectClip(cutClip), ClipCondition::Unfinished);
    uint32_t kept = 0;
    ASSERT_TRUE(repairClip(cutClip, &kept));
    EXPECT_EQ(kept, 71u);
    expectPlays(cutClip, 71, "parts cut");
}

TEST(ClipRepairAtStart, OnlyUnfinishedClipsOfEarlierRunsAreRepaired)
{
    QTemporaryDir dir;
    const QString one = dir.filePath(QStringLiteral("One/Video")), two = dir.filePath(QStringLiteral("Two/Video"));
    QDir().mkpath(one);
    QDir().mkpath(two);
    const WrittenClip source = writeClip(dir.filePath(QStringLiteral("source.avi")), AviCodec::Mjpg, 4);
    const QByteArray whole = bytesOf(source.path);
    const QByteArray cut = whole.left(source.frameEnds[2] + 100);
    const QString crashed = one + QLatin1String("/20240105103000.avi");
    const QString finished = one + QLatin1String("/20240105103001.avi");
    const QString recent = two + QLatin1String("/20240105103002.avi");
    const QString notAClip = two + QLatin1String("/20240105103003.avi");
    const QString busy = two + QLatin1String("/20240105103004.avi");
    writeBytes(crashed, cut);
    writeBytes(finished, whole);
    writeBytes(notAClip, QByteArray("RIFF....WAVEfmt "));
    writeBytes(busy, cut);
    const QDateTime start = QDateTime::currentDateTime();
    for (const QString& path : {crashed, finished, notAClip, busy}) {
        const utimbuf old{start.toSecsSinceEpoch() - 3600, start.toSecsSinceEpoch() - 3600};
        ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &old), 0);
    }
    writeBytes(recent, cut);  // written in this run: its writer is still at it
    // Another program writes this one.
    QFile held(busy);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX), 0);

    const QStringList repaired = repairUnfinishedClips({one, two, dir.filePath(QStringLiteral("Missing/Video"))}, start);
    EXPECT_EQ(repaired, QStringList{crashed});
    expectPlays(crashed, 3, "crashed");
    EXPECT_LT(QFileInfo(crashed).lastModified(), start) << "the clip keeps its time";
    EXPECT_EQ(bytesOf(finished), whole);
    EXPECT_EQ(bytesOf(recent), cut);
    EXPECT_EQ(bytesOf(busy), cut);
    EXPECT_EQ(bytesOf(notAClip), QByteArray("RIFF....WAVEfmt "));

    // What an interrupted repair left is not in the way of the next one.
    writeBytes(recent + QLatin1String(".repair"), QByteArray("half"));
    ASSERT_TRUE(repairClip(recent));
    EXPECT_FALSE(QFile::exists(recent + QLatin1String(".repair")));
    expectPlays(recent, 3, "recent");
}

TEST(ClipWriterQueue, AWriterThatIsBehindDropsFramesFromTheClipAndCountsThem)
{
    QTemporaryDir dir;
    SimulatedCamera camera(SimulatedCamera::Model::Model1, 1);
    ASSERT_TRUE(camera.setFormat(1280, 1024, FormatYUY2));
    std::vector<uint8_t> yuyv;
    ASSERT_TRUE(camera.capture(0, yuyv));
    ClipWriter clip;
    ASSERT_TRUE(clip.open(dir.filePath(QStringLiteral("q.avi")), 1280, 1024, true));
    // Far faster than anyone encodes 1280 x 1024 JPEGs: the hand-over never waits.
    constexpr int kOffered = 200;
    int taken = 0;
    for (int i = 0; i < kOffered; ++i)
        taken += clip.offer(yuyv.data(), yuyv.size(), FormatYUY2, 1280, 1024) ? 1 : 0;
    clip.close();
    EXPECT_GT(clip.framesDropped(), 0);
    EXPECT_EQ(clip.framesDropped(), kOffered - taken);
    EXPECT_EQ(clip.framesWritten(), taken);
    EXPECT_EQ(probeClip(dir.filePath(QStringLiteral("q.avi"))).packets, taken);
}

namespace {

// Files of this process may grow to `bytes` and no further while it lives;
// a write past it fails with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

}  // namespace

TEST(ClipWriterFailure, AWriteErrorFinishesThePlayableClipAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.avi"));
    ClipWriter clip;
    std::atomic<int> told{0};
    QString reason;
    clip.setFailureHandler([&](const QString& why) {
        reason = why;
        ++told;
    });
    ASSERT_TRUE(clip.open(path, 320, 240, false));
    const std::vector<uint8_t> rows = markedRows(320, 240, 1);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(clip.write(rows.data(), 320, 240, rowStride(320)));
    while (clip.framesWritten() < 3)
        QThread::msleep(2);
    {
        // Room for half a frame more: the fourth frame is cut, the index fits.
        const FileSizeLimit limit(rlim_t(QFileInfo(path).size() + rows.size() / 2));
        for (int i = 0; i < 10 && told == 0; ++i) {
            clip.write(rows.data(), 320, 240, rowStride(320));
            QThread::msleep(20);
        }
        for (int i = 0; i < 200 && told == 0; ++i)
            QThread::msleep(10);
        EXPECT_FALSE(clip.write(rows.data(), 320, 240, rowStride(320))) << "no frame is taken after the failure";
    }
    ASSERT_EQ(told.load(), 1);
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(clip.failure(), reason);
    clip.close();
    EXPECT_EQ(clip.framesWritten(), 3);
    EXPECT_EQ(inspectClip(path), ClipCondition::Whole);
    expectPlays(path, 3, "after the failure");
}
