#include "wifi/core/mjpeg_source.h"

#include "scripted_http_server.h"
#include "test_jpeg.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>

using namespace wifi;
using testing_support::ScriptedHttpServer;
using wifi_test::makeJpeg;
using wifi_test::streamPart;
using Clock = std::chrono::steady_clock;

namespace {

const QByteArray kStreamHead =
    "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n"
    "Connection: close\r\n\r\n";

CameraAddress addressOf(const ScriptedHttpServer& server)
{
    CameraAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.pagePort = server.port();
    address.streamPort = server.port();
    return address;
}

StreamTiming quickTiming()
{
    StreamTiming timing;
    timing.stallMs = 300;
    timing.connectMs = 300;
    timing.backoffMs = {50, 100};
    return timing;
}

// Sends the pictures over and over, one part every 20 ms, while `paused` is
// false, until the client leaves.
void streamPictures(ScriptedHttpServer::Exchange& ex, const std::vector<QByteArray>& parts,
                    const std::atomic<bool>* paused = nullptr)
{
    if (!ex.send(kStreamHead))
        return;
    for (size_t i = 0;; ++i) {
        if (paused && paused->load()) {
            if (!ex.pause(20))
                return;
            continue;
        }
        if (!ex.send(parts[i % parts.size()]) || !ex.pause(20))
            return;
    }
}

// Frames until `count` arrived or `ms` passed; also tells whether nextFrame ever said Gone.
std::vector<QByteArray> takeFrames(MjpegStreamSource& source, size_t count, int ms = 10000, bool* gone = nullptr,
                                   std::vector<capture::DeviceFrame>* details = nullptr)
{
    std::vector<QByteArray> frames;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (frames.size() < count && Clock::now() < end) {
        capture::DeviceFrame frame;
        const capture::FrameWait wait = source.nextFrame(100, frame);
        if (wait == capture::FrameWait::Gone && gone)
            *gone = true;
        if (wait == capture::FrameWait::Frame) {
            frames.emplace_back(reinterpret_cast<const char*>(frame.data), static_cast<qsizetype>(frame.size));
            if (details)
                details->push_back(frame);
        }
    }
    return frames;
}

// Drives the source until `done` or `ms` pass.
bool driveUntil(MjpegStreamSource& source, const std::function<bool()>& done, int ms = 10000)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done() && Clock::now() < end) {
        capture::DeviceFrame frame;
        source.nextFrame(50, frame);
    }
    return done();
}

std::vector<QByteArray> threePictures()
{
    return {makeJpeg(64, 48, Qt::red), makeJpeg(64, 48, Qt::green), makeJpeg(64, 48, Qt::blue)};
}

}  // namespace

TEST(MjpegStreamSource, OffersOnlyTheStreamSize)
{
    MjpegStreamSource source(CameraAddress{}, QSize(1280, 720));
    const auto caps = source.capabilities();
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_EQ(caps[0].width, 1280);
    EXPECT_EQ(caps[0].height, 720);
    EXPECT_EQ(caps[0].format, capture::FormatMJPG);
    EXPECT_TRUE(source.setFormat(1280, 720, capture::FormatMJPG));
    EXPECT_FALSE(source.setFormat(640, 480, capture::FormatMJPG));
    EXPECT_FALSE(source.setFormat(1280, 720, capture::FormatYUY2));
    EXPECT_FALSE(source.stillButtonPressed());
}

TEST(MjpegStreamSource, FramesArriveWithTheLogin)
{
    const auto pictures = threePictures();
    std::vector<QByteArray> parts;
    for (const auto& p : pictures)
        parts.push_back(streamPart(p));
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) { streamPictures(ex, parts); });

    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    ASSERT_TRUE(source.start());
    std::vector<capture::DeviceFrame> details;
    const auto frames = takeFrames(source, 3, 10000, nullptr, &details);
    source.stop();
    ASSERT_EQ(frames, pictures);
    EXPECT_EQ(details[0].width, 64);
    EXPECT_EQ(details[0].height, 48);
    EXPECT_EQ(details[0].format, capture::FormatMJPG);
    EXPECT_GE(details[0].sampleTime, 0.0);
    EXPECT_GT(details[2].sampleTime, details[0].sampleTime);
    EXPECT_EQ(server.requests().at(0).target, "/");
}

TEST(MjpegStreamSource, StreamWithoutTheFirstBoundary)
{
    const auto pictures = threePictures();
    ScriptedHttpServer server;
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) {
        QByteArray first = streamPart(pictures[0]);
        first.remove(0, QByteArray("--frame\r\n").size());
        if (ex.send(kStreamHead) && ex.send(first))
            ex.send(streamPart(pictures[1]) + streamPart(pictures[2]));
        ex.holdUntilClosed();
    });
    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    ASSERT_TRUE(source.start());
    EXPECT_EQ(takeFrames(source, 3), pictures);
}

TEST(MjpegStreamSource, StreamWithoutContentLength)
{
    const auto pictures = threePictures();
    std::vector<QByteArray> parts;
    for (const auto& p : pictures)
        parts.push_back(streamPart(p, false));
    ScriptedHttpServer server;
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) { streamPictures(ex, parts); });
    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    ASSERT_TRUE(source.start());
    EXPECT_EQ(takeFrames(source, 3), pictures);
}

TEST(MjpegStreamSource, CutPictureIsDroppedAndCounted)
{
    const auto pictures = threePictures();
    ScriptedHttpServer server;
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) {
        QByteArray cut = streamPart(pictures[0]);
        cut.chop(pictures[0].size() / 2);
        if (ex.send(kStreamHead) && ex.send(cut + "\r\n"))
            ex.send(streamPart(pictures[1]) + streamPart(pictures[2]));
        ex.holdUntilClosed();
    });
    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    ASSERT_TRUE(source.start());
    EXPECT_EQ(takeFrames(source, 2), std::vector<QByteArray>({pictures[1], pictures[2]}));
    EXPECT_EQ(source.droppedFrames(), 1u);
}

TEST(MjpegStreamSource, StalledStreamIsReopened)
{
    const auto pictures = threePictures();
    std::vector<QByteArray> parts;
    for (const auto& p : pictures)
        parts.push_back(streamPart(p));
    std::atomic<bool> stalled{false};
    ScriptedHttpServer server;
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) { streamPictures(ex, parts, &stalled); });

    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    source.setTiming(quickTiming());
    ASSERT_TRUE(source.start());
    ASSERT_EQ(takeFrames(source, 2).size(), 2u);
    EXPECT_FALSE(source.reconnecting());

    stalled = true;
    bool gone = false;
    EXPECT_TRUE(driveUntil(source, [&] { return source.reconnecting(); }));
    stalled = false;
    EXPECT_EQ(takeFrames(source, 2, 10000, &gone).size(), 2u);
    EXPECT_FALSE(source.reconnecting());
    EXPECT_FALSE(gone);
    EXPECT_GE(server.requestCount("/"), 2);
}

TEST(MjpegStreamSource, DroppedConnectionIsReopened)
{
    const auto pictures = threePictures();
    std::atomic<int> connections{0};
    ScriptedHttpServer server;
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) {
        if (++connections == 1) {
            const QByteArray part = streamPart(pictures[1]);
            ex.send(kStreamHead + streamPart(pictures[0]) + part.left(part.size() / 2));
            ex.drop();
            return;
        }
        streamPictures(ex, {streamPart(pictures[2])});
    });
    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    source.setTiming(quickTiming());
    ASSERT_TRUE(source.start());
    EXPECT_EQ(takeFrames(source, 2), std::vector<QByteArray>({pictures[0], pictures[2]}));
    EXPECT_GE(connections.load(), 2);
}

TEST(MjpegStreamSource, UnreachableCameraIsNeverGone)
{
    const int port = ScriptedHttpServer::closedPort();
    CameraAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.streamPort = port;
    MjpegStreamSource source(address, QSize(64, 48));
    source.setTiming(quickTiming());
    ASSERT_TRUE(source.start());
    bool gone = false;
    EXPECT_TRUE(takeFrames(source, 1, 600, &gone).empty());
    EXPECT_FALSE(gone);
    EXPECT_TRUE(source.reconnecting());
}

TEST(MjpegStreamSource, PausesGrowBetweenAttempts)
{
    std::mutex mutex;
    std::vector<Clock::time_point> attempts;
    ScriptedHttpServer server;
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) {
        {
            std::lock_guard lock(mutex);
            attempts.push_back(Clock::now());
        }
        ex.respond(500, "broken");
    });
    MjpegStreamSource source(addressOf(server), QSize(64, 48));
    StreamTiming timing = quickTiming();
    timing.backoffMs = {100, 200, 400};
    source.setTiming(timing);
    ASSERT_TRUE(source.start());
    ASSERT_TRUE(driveUntil(source, [&] {
        std::lock_guard lock(mutex);
        return attempts.size() >= 5;
    }));
    std::lock_guard lock(mutex);
    const int expected[] = {100, 200, 400, 400};
    for (size_t i = 0; i < 4; ++i) {
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(attempts[i + 1] - attempts[i]);
        EXPECT_GE(gap.count(), expected[i]) << "after attempt " << i;
    }
}

// A camera that does not agree to the new mode is asked again; the stream
// stays closed meanwhile, rather than showing nothing at the old size.
TEST(MjpegStreamSource, RefusedModeChangeIsAskedAgainBeforeTheStreamOpens)
{
    std::vector<QByteArray> parts;
    for (const auto& p : threePictures())
        parts.push_back(streamPart(p));
    ScriptedHttpServer server;
    auto asked = std::make_shared<std::atomic<int>>(0);
    server.on("/apply.cgi",
              [asked](ScriptedHttpServer::Exchange& ex) { ex.respond((*asked)++ == 0 ? 500 : 200, "", "text/html"); });
    server.on("/", [&](ScriptedHttpServer::Exchange& ex) { streamPictures(ex, parts); });
    MjpegStreamSource source(addressOf(server), QSize(320, 240));
    source.setTiming(quickTiming());
    source.setModes({{1, true, 320, 240, "1,1,320,240"}, {2, true, 640, 480, "2,1,640,480"}});
    ASSERT_TRUE(source.setFormat(640, 480, capture::FormatMJPG));
    ASSERT_TRUE(source.start());
    std::vector<capture::DeviceFrame> details;
    ASSERT_EQ(takeFrames(source, 1, 15000, nullptr, &details).size(), 1u);
    source.stop();
    EXPECT_EQ(details[0].width, 640);
    const auto requests = server.requests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_TRUE(requests[0].target.startsWith("/apply.cgi"));
    EXPECT_TRUE(requests[1].target.startsWith("/apply.cgi"));
    EXPECT_EQ(requests[2].target, "/");
}

TEST(MjpegStreamSource, SetControlSendsTheCommand)
{
    ScriptedHttpServer server;
    server.requireLogin("admin", "pq7rw");
    server.serve("/", 200, "OK");
    capture::CameraControl brightness;
    brightness.id = 9963776;
    brightness.name = "Brightness";
    brightness.maximum = 255;
    brightness.value = 128;
    MjpegStreamSource source(addressOf(server), QSize(64, 48), {brightness});
    EXPECT_TRUE(source.setControl(9963776, 140));
    EXPECT_EQ(source.controls().at(0).value, 140);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].target, "/?action=command&dest=0&plugin=0&id=9963776&group=01&value=140");
}

TEST(MjpegStreamSource, FailedCommandKeepsTheValue)
{
    ScriptedHttpServer server;
    server.serve("/", 500, "no");
    capture::CameraControl contrast;
    contrast.id = 9963777;
    contrast.value = 32;
    MjpegStreamSource source(addressOf(server), QSize(64, 48), {contrast});
    EXPECT_FALSE(source.setControl(9963777, 40));
    EXPECT_EQ(source.controls().at(0).value, 32);
    EXPECT_FALSE(source.setControl(12345, 1));  // not one of its controls
}
