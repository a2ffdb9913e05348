#include "mjpeg_parser.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace wifi {

namespace {

constexpr size_t kMaxHeaderBytes = 8192;

bool isSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// "Name: value": a header line rather than picture bytes or junk.
bool looksLikeHeader(const uint8_t* line, size_t size)
{
    size_t i = 0;
    while (i < size && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '-'))
        ++i;
    return i > 0 && i < size && line[i] == ':';
}

// The value of a Content-Length header, or -1.
qint64 parseLength(const uint8_t* text, size_t size)
{
    size_t i = 0;
    while (i < size && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i == size || size - i > 12)
        return -1;
    qint64 value = 0;
    for (; i < size; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

QByteArray MjpegParser::boundaryFromContentType(const QByteArray& contentType)
{
    const QByteArray lower = contentType.toLower();
    const qsizetype at = lower.indexOf("boundary=");
    if (at < 0)
        return {};
    QByteArray value = contentType.mid(at + 9).trimmed();
    if (value.startsWith('"')) {
        const qsizetype close = value.indexOf('"', 1);
        value = close > 0 ? value.mid(1, close - 1) : value.mid(1);
    } else {
        qsizetype end = 0;
        while (end < value.size() && value[end] != ';' && value[end] != ' ' && value[end] != '\t')
            ++end;
        value.truncate(end);
    }
    // Some cameras put the delimiter's dashes into the header as well.
    while (value.startsWith('-'))
        value.remove(0, 1);
    return value;
}

void MjpegParser::setBoundary(const QByteArray& boundary)
{
    m_boundary = boundary;
    while (m_boundary.startsWith('-'))
        m_boundary.remove(0, 1);
}

void MjpegParser::reset()
{
    m_buf.clear();
    m_pos = 0;
    enter(State::PartStart);
}

void MjpegParser::feed(const char* data, size_t size)
{
    if (m_pos > 0) {
        const size_t shift = m_pos;
        m_buf.erase(m_buf.begin(), m_buf.begin() + static_cast<std::ptrdiff_t>(shift));
        m_pos = 0;
        m_searchFrom = m_searchFrom > shift ? m_searchFrom - shift : 0;
        m_walkPos = m_walkPos > shift ? m_walkPos - shift : 0;
    }
    m_buf.insert(m_buf.end(), data, data + size);
}

void MjpegParser::enter(State state)
{
    m_state = state;
    m_searchFrom = m_pos;
    m_contentLength = -1;
    m_bodyStarted = false;
    m_walkPos = m_pos;
    m_inScan = false;
    m_walkBroken = false;
}

void MjpegParser::drop(State next)
{
    ++m_dropped;
    enter(next);
}

// A whole line (without its line end) that is a boundary: up to four dashes,
// the boundary, maybe the closing "--".
bool MjpegParser::isBoundaryLine(const uint8_t* line, size_t size) const
{
    const auto n = static_cast<size_t>(m_boundary.size());
    size_t i = 0;
    while (i < size && i < 4 && line[i] == '-')
        ++i;
    if (n == 0 || size - i < n || std::memcmp(line + i, m_boundary.constData(), n) != 0)
        return false;
    i += n;
    for (int dashes = 0; dashes < 2 && i < size && line[i] == '-'; ++dashes)
        ++i;
    return i == size;
}

// After the boundary's text at `at`: an optional closing "--", blanks, and
// the end of the line.
MjpegParser::Found MjpegParser::boundaryLineAfter(size_t at, size_t* lineEnd) const
{
    const size_t end = m_buf.size();
    const uint8_t* b = bytes();
    size_t q = at;
    for (int dashes = 0; dashes < 2 && q < end && b[q] == '-'; ++dashes)
        ++q;
    for (int blanks = 0; q < end && (b[q] == ' ' || b[q] == '\t' || b[q] == '\r'); ++blanks) {
        if (blanks == 16)
            return Found::None;
        ++q;
    }
    if (q >= end)
        return Found::Maybe;
    if (b[q] != '\n')
        return Found::None;
    *lineEnd = q + 1;
    return Found::Yes;
}

// The first boundary line from `from` on. A line counts when the boundary,
// after up to four dashes, begins it (or begins the region).
MjpegParser::BoundaryLine MjpegParser::findBoundary(size_t from, size_t regionStart)
{
    BoundaryLine line;
    const size_t end = m_buf.size();
    const auto n = static_cast<size_t>(m_boundary.size());
    if (n == 0)
        return line;
    const uint8_t* b = bytes();
    size_t h = from;
    while (h + n <= end) {
        const void* hit = memmem(b + h, end - h, m_boundary.constData(), n);
        if (!hit)
            break;
        h = static_cast<size_t>(static_cast<const uint8_t*>(hit) - b);
        size_t start = h;
        while (start > regionStart && h - start < 4 && b[start - 1] == '-')
            --start;
        if (start == regionStart || b[start - 1] == '\n') {
            size_t lineEnd = 0;
            const Found found = boundaryLineAfter(h + n, &lineEnd);
            if (found != Found::None) {
                line.found = found;
                line.start = start;
                line.end = lineEnd;
                m_searchFrom = h;
                return line;
            }
        }
        ++h;
    }
    // Nothing yet: next time look again only where a boundary could still straddle.
    m_searchFrom = std::max(from, end >= n ? end - n + 1 : 0);
    return line;
}

// Follows the JPEG's segments from m_walkPos up to `limit`, looking for the
// end of picture that follows the compressed data; `*end` is just after it.
MjpegParser::Walk MjpegParser::walkJpeg(size_t limit, size_t* end)
{
    const uint8_t* b = bytes();
    size_t p = m_walkPos;
    for (;;) {
        if (m_inScan) {
            if (p >= limit) {
                m_walkPos = p;
                return Walk::NeedMore;
            }
            const void* ff = std::memchr(b + p, 0xFF, limit - p);
            if (!ff) {
                m_walkPos = limit;
                return Walk::NeedMore;
            }
            p = static_cast<size_t>(static_cast<const uint8_t*>(ff) - b);
            if (p + 1 >= limit) {
                m_walkPos = p;
                return Walk::NeedMore;
            }
            const uint8_t next = b[p + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                p += 2;  // stuffed byte or restart marker: still compressed data
                continue;
            }
            if (next == 0xFF) {
                p += 1;
                continue;
            }
            m_inScan = false;
        }
        if (p >= limit) {
            m_walkPos = p;
            return Walk::NeedMore;
        }
        if (b[p] != 0xFF)
            return Walk::Broken;
        size_t q = p;
        while (q < limit && b[q] == 0xFF)
            ++q;
        if (q >= limit) {
            m_walkPos = p;
            return Walk::NeedMore;
        }
        const uint8_t marker = b[q];
        if (marker == 0xD9) {
            *end = q + 1;
            return Walk::End;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            p = q + 1;
            continue;
        }
        if (marker == 0x00 || marker == 0xD8)
            return Walk::Broken;
        if (q + 2 >= limit) {
            m_walkPos = p;
            return Walk::NeedMore;
        }
        const size_t length = (size_t(b[q + 1]) << 8) | b[q + 2];
        if (length < 2)
            return Walk::Broken;
        p = q + 1 + length;
        if (marker == 0xDA)
            m_inScan = true;
    }
}

bool MjpegParser::bodyWithLength(const uint8_t*& data, size_t& size, bool* waiting)
{
    const auto length = static_cast<size_t>(m_contentLength);
    if (length > kMaxFrame) {
        drop(State::SeekBoundary);
        return false;
    }
    if (m_buf.size() - m_pos < length) {
        *waiting = true;
        return false;
    }
    // A boundary inside the part: the picture was cut short and the next part began.
    const BoundaryLine cut = findBoundary(m_searchFrom, m_pos);
    if (cut.found != Found::None && cut.start < m_pos + length) {
        m_pos = cut.start;
        drop(State::PartStart);
        return false;
    }
    const uint8_t* b = bytes();
    size_t s = m_pos, e = m_pos + length;
    while (s < e && isSpace(b[s]))
        ++s;
    while (e > s && isSpace(b[e - 1]))
        --e;
    m_pos += length;
    if (e - s < 4 || b[s] != 0xFF || b[s + 1] != 0xD8 || b[e - 2] != 0xFF || b[e - 1] != 0xD9) {
        drop(State::PartStart);
        return false;
    }
    data = b + s;
    size = e - s;
    ++m_frames;
    enter(State::PartStart);
    return true;
}

bool MjpegParser::bodyWithoutLength(const uint8_t*& data, size_t& size, bool* waiting)
{
    const uint8_t* b = bytes();
    const size_t end = m_buf.size();
    if (!m_bodyStarted) {
        while (m_pos < end && isSpace(b[m_pos]))
            ++m_pos;
        if (end - m_pos < 2) {
            *waiting = true;
            return false;
        }
        if (b[m_pos] != 0xFF || b[m_pos + 1] != 0xD8) {
            drop(State::SeekBoundary);
            return false;
        }
        enter(State::Body);
        m_bodyStarted = true;
        m_walkPos = m_pos + 2;
    }
    const BoundaryLine next = findBoundary(m_searchFrom, m_pos);
    const size_t limit = next.found != Found::None ? next.start : end;
    size_t pictureEnd = 0;
    if (!m_walkBroken) {
        const Walk walk = walkJpeg(limit, &pictureEnd);
        if (walk == Walk::End) {
            data = b + m_pos;
            size = pictureEnd - m_pos;
            m_pos = pictureEnd;
            ++m_frames;
            enter(State::PartStart);
            return true;
        }
        m_walkBroken = walk == Walk::Broken;
    }
    if (next.found == Found::Yes) {
        // Segments that make no sense: take the picture up to its last end
        // marker before the boundary, if it has one.
        if (m_walkBroken) {
            for (size_t e = limit; e >= m_pos + 4; --e) {
                if (b[e - 2] == 0xFF && b[e - 1] == 0xD9) {
                    data = b + m_pos;
                    size = e - m_pos;
                    m_pos = next.start;
                    ++m_frames;
                    enter(State::PartStart);
                    return true;
                }
            }
        }
        m_pos = next.start;
        drop(State::PartStart);
        return false;
    }
    if (end - m_pos > kMaxFrame) {
        drop(State::SeekBoundary);
        return false;
    }
    *waiting = true;
    return false;
}

bool MjpegParser::nextFrame(const uint8_t*& data, size_t& size)
{
    const auto n = static_cast<size_t>(m_boundary.size());
    for (;;) {
        const uint8_t* b = bytes();
        const size_t end = m_buf.size();
        bool waiting = false;
        switch (m_state) {
        case State::PartStart: {
            while (m_pos < end && isSpace(b[m_pos]))
                ++m_pos;
            if (m_pos == end)
                return false;
            if (n > 0) {
                size_t at = m_pos;
                while (at < end && at - m_pos < 4 && b[at] == '-')
                    ++at;
                const size_t have = std::min(end - at, n);
                if (std::memcmp(b + at, m_boundary.constData(), have) == 0) {
                    if (have < n)
                        return false;
                    size_t lineEnd = 0;
                    const Found found = boundaryLineAfter(at + n, &lineEnd);
                    if (found == Found::Maybe)
                        return false;
                    if (found == Found::Yes) {
                        m_pos = lineEnd;
                        enter(State::PartStart);
                        continue;
                    }
                }
            }
            if (b[m_pos] == 0xFF) {
                enter(State::Body);
                continue;
            }
            const void* nl = std::memchr(b + m_pos, '\n', std::min(end - m_pos, kMaxHeaderBytes));
            if (!nl && end - m_pos < kMaxHeaderBytes)
                return false;
            if (nl && looksLikeHeader(b + m_pos, static_cast<size_t>(static_cast<const uint8_t*>(nl) - (b + m_pos)))) {
                enter(State::Headers);
                continue;
            }
            drop(State::SeekBoundary);
            continue;
        }
        case State::Headers: {
            const void* nl = std::memchr(b + m_pos, '\n', end - m_pos);
            if (!nl) {
                if (end - m_pos > kMaxHeaderBytes)
                    drop(State::SeekBoundary);
                else
                    return false;
                continue;
            }
            const size_t lineEnd = static_cast<size_t>(static_cast<const uint8_t*>(nl) - b) + 1;
            size_t e = lineEnd - 1;
            while (e > m_pos && (b[e - 1] == '\r' || b[e - 1] == ' ' || b[e - 1] == '\t'))
                --e;
            if (e == m_pos) {
                const qint64 length = m_contentLength;
                m_pos = lineEnd;
                enter(State::Body);
                m_contentLength = length;
                continue;
            }
            if (isBoundaryLine(b + m_pos, e - m_pos)) {
                drop(State::PartStart);  // a part with no body at all
                continue;
            }
            constexpr char kLength[] = "content-length:";
            constexpr size_t kLengthSize = sizeof(kLength) - 1;
            if (e - m_pos > kLengthSize && qstrnicmp(reinterpret_cast<const char*>(b + m_pos), kLength, kLengthSize) == 0)
                m_contentLength = parseLength(b + m_pos + kLengthSize, e - m_pos - kLengthSize);
            m_pos = lineEnd;
            continue;
        }
        case State::Body: {
            const bool got = m_contentLength >= 0 ? bodyWithLength(data, size, &waiting)
                                                  : bodyWithoutLength(data, size, &waiting);
            if (got)
                return true;
            if (waiting)
                return false;
            continue;
        }
        case State::SeekBoundary: {
            const BoundaryLine line = findBoundary(m_searchFrom, m_pos);
            if (line.found == Found::Yes) {
                m_pos = line.start;
                enter(State::PartStart);
                continue;
            }
            if (line.found == Found::None) {
                // Junk: let it go, keeping only what a boundary could start in.
                const size_t keep = n + 5;
                if (end - m_pos > keep) {
                    m_pos = end - keep;
                    m_searchFrom = m_pos;
                }
            }
            return false;
        }
        }
    }
}

}  // namespace wifi
