// The frame sizes of a device, its camera model and the saved capture format.
#include "capture/core/cap_config.h"
#include "capture/core/clip_pacing.h"
#include "capture/core/resolution_table.h"

#include "sandbox.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace capture;

namespace {

std::vector<ResolutionEntry> filled(const ResolutionTable& t)
{
    return std::vector<ResolutionEntry>(t.begin(), t.begin() + static_cast<long>(countResolutions(t)));
}

}  // namespace

TEST(ResolutionTable, DuplicatesKeepTheFirstFormatSmallSizesAreDroppedAndTheSortIsStable)
{
    const ResolutionTable t = buildResolutionTable({
        {1280, 1024, FormatYUY2},
        {640, 480, FormatMJPG},
        {160, 120, FormatYUY2},    // below 320 x 240
        {1280, 1024, FormatMJPG},  // the same size again: the first stays
        {640, 400, FormatYUY2},    // same width as 640 x 480: after it, as offered
        {800, 600, 7},             // neither YUY2 nor MJPG
        {320, 240, FormatYUY2},
    });
    EXPECT_EQ(filled(t),
              (std::vector<ResolutionEntry>{
                  {320, 240, FormatYUY2}, {640, 480, FormatMJPG}, {640, 400, FormatYUY2}, {1280, 1024, FormatYUY2}}));
    EXPECT_EQ(t[4], ResolutionEntry{});
}

TEST(ResolutionTable, SixtyQualifyingCapabilitiesAtMost)
{
    std::vector<Capability> caps;
    for (int i = 0; i < 70; ++i)
        caps.push_back({400 + i, 300, FormatMJPG});
    const ResolutionTable t = buildResolutionTable(caps);
    EXPECT_EQ(countResolutions(t), 60u);
    EXPECT_EQ(t[59].width, 459);
}

TEST(ResolutionTable, CameraModelFromTheLargestSizes)
{
    const auto model = [](std::vector<Capability> caps, int previous = 0) {
        return cameraModelOf(buildResolutionTable(caps), previous);
    };
    EXPECT_EQ(model({{320, 240, 1}, {352, 288, 1}, {640, 480, 1}, {1280, 1024, 1}}), 2);
    EXPECT_EQ(model({{640, 480, 1}, {800, 600, 1}, {1024, 768, 1}, {1280, 1024, 1}}), 1);
    EXPECT_EQ(model({{640, 480, 1}, {1280, 1024, 1}}), 1);  // fewer than three sizes
    EXPECT_EQ(model({{640, 480, 2}, {1600, 1200, 2}}), 3);
    EXPECT_EQ(model({{640, 480, 2}, {2592, 1944, 2}}), 4);
    EXPECT_EQ(model({{640, 480, 2}, {3264, 2448, 2}}), 5);
    EXPECT_EQ(model({{640, 480, 2}, {1920, 1080, 2}}), 6);
    EXPECT_EQ(model({{640, 480, 2}, {1024, 768, 2}}, 4), 4);  // unknown: unchanged
    EXPECT_EQ(cameraModelOf(ResolutionTable{}, 3), 3);
}

TEST(CapConfig, EightyEightBytesInTheirPlaces)
{
    testing_support::Sandbox box;
    VideoInfoHeader v{};
    v.rcSource = {1, 2, 3, 4};
    v.dwBitRate = 0x11223344;
    v.AvgTimePerFrame = 333333;
    v.bmiHeader.biSize = 40;
    v.bmiHeader.biWidth = 1280;
    v.bmiHeader.biHeight = 1024;
    v.bmiHeader.biBitCount = 16;
    v.bmiHeader.biCompression = 0x32595559;  // "YUY2"
    const QString path = box.path() + QLatin1String("/Setting/CapConfig.dat");
    QDir().mkpath(box.path() + QLatin1String("/Setting"));
    ASSERT_TRUE(writeCapConfig(path, v));
    const QByteArray bytes = testing_support::readFile(path);
    ASSERT_EQ(bytes.size(), 88);
    EXPECT_EQ(bytes.mid(32, 4), QByteArray("\x44\x33\x22\x11", 4));
    EXPECT_EQ(bytes.mid(48, 4), QByteArray("\x28\x00\x00\x00", 4));
    EXPECT_EQ(bytes.mid(52, 4), QByteArray("\x00\x05\x00\x00", 4));  // width at 52
    EXPECT_EQ(bytes.mid(56, 4), QByteArray("\x00\x04\x00\x00", 4));  // height at 56
    EXPECT_EQ(bytes.mid(64, 4), QByteArray("YUY2"));
    const auto back = readCapConfig(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->bmiHeader.biWidth, 1280);
    EXPECT_EQ(back->AvgTimePerFrame, 333333);

    testing_support::writeFile(path, bytes.left(87));
    EXPECT_FALSE(readCapConfig(path).has_value());
    EXPECT_FALSE(readCapConfig(path + QLatin1String(".absent")).has_value());
}

TEST(CapConfig, ResizingSetsImageSizeAndBitRate)
{
    VideoInfoHeader v{};
    v.AvgTimePerFrame = 333333;  // 30 frames a second
    v.bmiHeader.biBitCount = 16;
    resizeFormat(v, 640, 480);
    EXPECT_EQ(v.bmiHeader.biWidth, 640);
    EXPECT_EQ(v.bmiHeader.biSizeImage, 640u * 480 * 2);
    EXPECT_EQ(v.dwBitRate, ((30u * 640 * 480 * 2) & 0x1FFFFFFFu) * 8);
    v.bmiHeader.biBitCount = 24;
    resizeFormat(v, 2592, 1944);
    EXPECT_EQ(v.bmiHeader.biSizeImage, 2592u * 1944 * 3);
    EXPECT_EQ(v.dwBitRate, ((30u * 2592 * 1944 * 3) & 0x1FFFFFFFu) * 8);  // the low 29 bits only
}

TEST(ClipPacing, ThirtyFramesASecondWriteAtTheTicksFourFramesEveryFrame)
{
    ClipPacer pacer;
    pacer.start(0);
    int written = 0;
    // One second of a 30 fps camera with the 200 ms ticks.
    for (int ms = 33, next = 200; ms <= 1000; ms += 33) {
        if (ms >= next) {
            pacer.tick();
            next += 200;
        }
        written += pacer.shouldWrite(ms);
    }
    EXPECT_EQ(written, 4);  // the ticks at 200, 400, 600, 800 (1000 arrives after the last frame)

    ClipPacer slow;
    slow.start(0);
    int slowWritten = 0;
    for (int ms = 250; ms <= 1000; ms += 250)
        slowWritten += slow.shouldWrite(ms);
    EXPECT_EQ(slowWritten, 4);  // every frame of a 4 fps camera

    ClipPacer same;
    same.start(500);
    EXPECT_FALSE(same.shouldWrite(500));  // same millisecond
    same.tick();
    EXPECT_TRUE(same.shouldWrite(500));   // unless the tick says so
    EXPECT_FALSE(same.shouldWrite(666));  // 166 ms: not yet
    EXPECT_TRUE(same.shouldWrite(833));   // 167 ms
    EXPECT_TRUE(same.shouldWrite(20));    // across a minute boundary
}
