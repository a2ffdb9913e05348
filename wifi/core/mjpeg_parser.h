#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wifi {

// Cuts a multipart/x-mixed-replace stream of JPEG pictures into whole
// pictures as its bytes arrive. Lenient about what cameras get wrong (no
// "--" before the boundary, no first boundary line, parts without
// Content-Length, LF for CRLF); a part that holds no whole JPEG is dropped
// and counted, and the stream goes on. Once its buffer has grown to the
// largest frame it allocates nothing more.
class MjpegParser {
public:
    static constexpr size_t kMaxFrame = size_t(16) << 20;

    // The boundary named by a Content-Type header, without leading "--";
    // empty when it names none.
    static QByteArray boundaryFromContentType(const QByteArray& contentType);

    void setBoundary(const QByteArray& boundary);
    void feed(const char* data, size_t size);
    // The next whole JPEG, when there is one; the bytes stay valid until the
    // next call to any of these.
    bool nextFrame(const uint8_t*& data, size_t& size);
    // Forgets buffered bytes, for a new connection; the counts stay.
    void reset();

    uint64_t frames() const { return m_frames; }
    uint64_t droppedFrames() const { return m_dropped; }

private:
    enum class State { PartStart, Headers, Body, SeekBoundary };
    enum class Walk { NeedMore, End, Broken };
    enum class Found { None, Maybe, Yes };
    struct BoundaryLine {
        Found found = Found::None;
        size_t start = 0;  // where the line begins
        size_t end = 0;    // after its line feed
    };

    void enter(State state);
    void drop(State next);
    BoundaryLine findBoundary(size_t from, size_t regionStart);
    bool isBoundaryLine(const uint8_t* line, size_t size) const;
    Found boundaryLineAfter(size_t at, size_t* lineEnd) const;
    Walk walkJpeg(size_t limit, size_t* end);
    bool bodyWithLength(const uint8_t*& data, size_t& size, bool* waiting);
    bool bodyWithoutLength(const uint8_t*& data, size_t& size, bool* waiting);

    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(m_buf.data()); }

    QByteArray m_boundary;
    std::vector<char> m_buf;
    size_t m_pos = 0;         // bytes before this are used up
    size_t m_searchFrom = 0;  // the boundary search goes on from here
    State m_state = State::PartStart;
    qint64 m_contentLength = -1;
    bool m_bodyStarted = false;
    size_t m_walkPos = 0;
    bool m_inScan = false;
    bool m_walkBroken = false;
    uint64_t m_frames = 0;
    uint64_t m_dropped = 0;
};

}  // namespace wifi
