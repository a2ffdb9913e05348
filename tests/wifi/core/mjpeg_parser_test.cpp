#include "wifi/core/mjpeg_parser.h"

#include "test_jpeg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

using namespace wifi;
using wifi_test::makeJpeg;
using wifi_test::streamPart;

// Counts every allocation of the test program, for the steady-state check.
namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

// Feeds `stream` in chunks of random size and collects the frames.
std::vector<QByteArray> parseInChunks(MjpegParser& parser, const QByteArray& stream, unsigned seed, int maxChunk = 700)
{
    std::mt19937 random(seed);
    std::vector<QByteArray> frames;
    qsizetype at = 0;
    while (at < stream.size()) {
        const qsizetype n = std::min<qsizetype>(1 + random() % static_cast<unsigned>(maxChunk), stream.size() - at);
        parser.feed(stream.constData() + at, static_cast<size_t>(n));
        at += n;
        const uint8_t* data = nullptr;
        size_t size = 0;
        while (parser.nextFrame(data, size))
            frames.emplace_back(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    return frames;
}

std::vector<QByteArray> threePictures()
{
    return {makeJpeg(64, 48, Qt::red), makeJpeg(80, 60, Qt::green), makeJpeg(32, 32, Qt::blue)};
}

MjpegParser parserFor(const QByteArray& contentType)
{
    MjpegParser parser;
    parser.setBoundary(MjpegParser::boundaryFromContentType(contentType));
    return parser;
}

}  // namespace

TEST(MjpegParser, BoundaryFromContentType)
{
    EXPECT_EQ(MjpegParser::boundaryFromContentType("multipart/x-mixed-replace; boundary=frame"), "frame");
    EXPECT_EQ(MjpegParser::boundaryFromContentType("multipart/x-mixed-replace;boundary=--frame"), "frame");
    EXPECT_EQ(MjpegParser::boundaryFromContentType("multipart/x-mixed-replace; Boundary=\"a b\"; x=1"), "a b");
    EXPECT_EQ(MjpegParser::boundaryFromContentType("image/jpeg"), "");
}

TEST(MjpegParser, FramesInRandomChunks)
{
    const auto pictures = threePictures();
    QByteArray stream;
    for (const auto& p : pictures)
        stream += streamPart(p);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
        EXPECT_EQ(parseInChunks(parser, stream, seed), pictures) << "seed " << seed;
        EXPECT_EQ(parser.droppedFrames(), 0u);
    }
}

TEST(MjpegParser, WithoutContentLengthAndWithBareLineFeeds)
{
    const auto pictures = threePictures();
    QByteArray stream;
    for (const auto& p : pictures)
        stream += streamPart(p, false, "--frame", "\n");
    for (unsigned seed = 1; seed <= 20; ++seed) {
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
        EXPECT_EQ(parseInChunks(parser, stream, seed), pictures) << "seed " << seed;
    }
}

TEST(MjpegParser, FrameArrivesBeforeTheNextBoundary)
{
    const QByteArray picture = makeJpeg(64, 48, Qt::red);
    for (const bool withLength : {true, false}) {
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
        const QByteArray part = streamPart(picture, withLength);
        parser.feed(part.constData(), static_cast<size_t>(part.size()));
        const uint8_t* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(parser.nextFrame(data, size)) << withLength;
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), picture);
    }
}

TEST(MjpegParser, WithoutTheFirstBoundaryLine)
{
    const auto pictures = threePictures();
    QByteArray stream;
    for (const auto& p : pictures)
        stream += streamPart(p);
    stream.remove(0, QByteArray("--frame\r\n").size());
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    EXPECT_EQ(parseInChunks(parser, stream, 3), pictures);
    EXPECT_EQ(parser.droppedFrames(), 0u);
}

TEST(MjpegParser, DelimiterWithoutLeadingDashes)
{
    const auto pictures = threePictures();
    for (const bool withLength : {true, false}) {
        QByteArray stream;
        for (const auto& p : pictures)
            stream += streamPart(p, withLength, "myboundary");
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=myboundary");
        EXPECT_EQ(parseInChunks(parser, stream, 5), pictures) << withLength;
    }
}

TEST(MjpegParser, PicturesWithoutAnyPartHeaders)
{
    const auto pictures = threePictures();
    QByteArray stream;
    for (const auto& p : pictures)
        stream += "--frame\r\n\r\n" + p + "\r\n";
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    EXPECT_EQ(parseInChunks(parser, stream, 9), pictures);
}

TEST(MjpegParser, CutPictureIsDroppedAndTheNextArrives)
{
    const auto pictures = threePictures();
    for (const bool withLength : {true, false}) {
        // The first part claims its full length but is cut off by the next boundary.
        QByteArray cut = streamPart(pictures[0], withLength);
        cut.chop(pictures[0].size() / 2 + 2);
        cut += "\r\n";
        const QByteArray stream = cut + streamPart(pictures[1], withLength) + streamPart(pictures[2], withLength);
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
        EXPECT_EQ(parseInChunks(parser, stream, 11), std::vector<QByteArray>({pictures[1], pictures[2]})) << withLength;
        EXPECT_EQ(parser.droppedFrames(), 1u) << withLength;
    }
}

TEST(MjpegParser, PartWithoutAPictureIsDropped)
{
    const auto pictures = threePictures();
    const QByteArray text = "--frame\r\nContent-Type: text/plain\r\nContent-Length: 5\r\n\r\nhello\r\n";
    const QByteArray stream = streamPart(pictures[0]) + text + streamPart(pictures[1]);
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    EXPECT_EQ(parseInChunks(parser, stream, 13), std::vector<QByteArray>({pictures[0], pictures[1]}));
    EXPECT_EQ(parser.droppedFrames(), 1u);
}

TEST(MjpegParser, EndMarkerInsideAThumbnailDoesNotEndThePicture)
{
    // An APP1 segment carrying its own little JPEG, end marker included.
    const QByteArray picture = makeJpeg(48, 48, Qt::yellow);
    const QByteArray thumbnail = QByteArray("\xFF\xD8\xFF\xD9", 4);
    QByteArray app1 = QByteArray("\xFF\xE1", 2);
    const int length = 2 + thumbnail.size();
    app1 += static_cast<char>(length >> 8);
    app1 += static_cast<char>(length & 0xFF);
    app1 += thumbnail;
    const QByteArray withThumbnail = picture.left(2) + app1 + picture.mid(2);
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    const QByteArray stream = streamPart(withThumbnail, false) + streamPart(picture, false);
    EXPECT_EQ(parseInChunks(parser, stream, 17, 5), std::vector<QByteArray>({withThumbnail, picture}));
}

TEST(MjpegParser, OversizedFramesAreDropped)
{
    const QByteArray picture = makeJpeg(32, 32, Qt::cyan);
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    const QByteArray claimed = "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: 20000000\r\n\r\n";
    parser.feed(claimed.constData(), static_cast<size_t>(claimed.size()));
    // And one without a length that never ends.
    const QByteArray open = "\r\n--frame\r\nContent-Type: image/jpeg\r\n\r\n\xFF\xD8";
    parser.feed(open.constData(), static_cast<size_t>(open.size()));
    const QByteArray filler(1 << 20, 'x');
    const uint8_t* data = nullptr;
    size_t size = 0;
    for (int i = 0; i < 18; ++i) {
        parser.feed(filler.constData(), static_cast<size_t>(filler.size()));
        EXPECT_FALSE(parser.nextFrame(data, size));
    }
    const QByteArray next = "\r\n" + streamPart(picture);
    parser.feed(next.constData(), static_cast<size_t>(next.size()));
    ASSERT_TRUE(parser.nextFrame(data, size));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), picture);
    EXPECT_EQ(parser.droppedFrames(), 2u);
}

TEST(MjpegParser, JunkBeforeTheStreamIsSkipped)
{
    const auto pictures = threePictures();
    const QByteArray stream = "garbage that is no header\r\n" + streamPart(pictures[0]) + streamPart(pictures[1]);
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    EXPECT_EQ(parseInChunks(parser, stream, 19), std::vector<QByteArray>({pictures[0], pictures[1]}));
}

TEST(MjpegParser, RandomBytesAreSafe)
{
    std::mt19937 random(23);
    const auto pictures = threePictures();
    QByteArray good;
    for (const auto& p : pictures)
        good += streamPart(p, random() % 2 == 0);
    for (int round = 0; round < 200; ++round) {
        QByteArray stream = good;
        for (int i = 0; i < 1 + round % 10; ++i)
            stream[static_cast<qsizetype>(random() % static_cast<unsigned>(stream.size()))] = static_cast<char>(random());
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
        for (const QByteArray& frame : parseInChunks(parser, stream, static_cast<unsigned>(round))) {
            ASSERT_GE(frame.size(), 4);
            EXPECT_TRUE(frame.startsWith("\xFF\xD8") && frame.endsWith("\xFF\xD9"));
        }
    }
}

TEST(MjpegParser, StreamsOfTokensAreSafe)
{
    // Boundaries, headers and picture markers in random order and sizes.
    const QByteArray tokens[] = {"--frame\r\n",
                                 "frame\n",
                                 "Content-Length: 12\r\n",
                                 "Content-Length: 99999999999\r\n",
                                 "\r\n",
                                 "\n",
                                 QByteArray("\xFF\xD8", 2),
                                 QByteArray("\xFF\xD9", 2),
                                 QByteArray("\xFF\xDA\x00\x02", 4),
                                 QByteArray("\xFF\xE0\x00\x10", 4),
                                 QByteArray("\xFF\x00\xFF", 3),
                                 "Content-Type: image/jpeg\r\n",
                                 "xyz",
                                 "--frame--\r\n"};
    std::mt19937 random(29);
    for (int round = 0; round < 300; ++round) {
        QByteArray stream;
        for (int i = 0; i < 200; ++i)
            stream += tokens[random() % std::size(tokens)];
        MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
        for (const QByteArray& frame : parseInChunks(parser, stream, static_cast<unsigned>(round), 40)) {
            ASSERT_GE(frame.size(), 4);
            EXPECT_TRUE(frame.startsWith("\xFF\xD8") && frame.endsWith("\xFF\xD9"));
        }
    }
}

TEST(MjpegParser, NoAllocationsOnceWarm)
{
    const auto pictures = threePictures();
    QByteArray stream;
    for (int i = 0; i < 10; ++i)
        stream += streamPart(pictures[static_cast<size_t>(i % 3)], i % 2 == 0);
    MjpegParser parser = parserFor("multipart/x-mixed-replace; boundary=frame");
    auto run = [&] {
        size_t frames = 0;
        for (qsizetype at = 0; at < stream.size(); at += 1000) {
            parser.feed(stream.constData() + at, static_cast<size_t>(std::min<qsizetype>(1000, stream.size() - at)));
            const uint8_t* data = nullptr;
            size_t size = 0;
            while (parser.nextFrame(data, size))
                ++frames;
        }
        return frames;
    };
    ASSERT_EQ(run(), 10u);
    const long before = g_allocations.load();
    ASSERT_EQ(run(), 10u);
    EXPECT_EQ(g_allocations.load() - before, 0);
}
