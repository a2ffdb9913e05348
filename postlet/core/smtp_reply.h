#pragma once

#include <QByteArray>
#include <QList>

namespace postlet {

// One complete server reply: "250-first\r\n250 last\r\n" gives code 250 and
// the lines' texts after the code.
struct SmtpReply {
    int code = 0;
    QList<QByteArray> lines;

    // The text after "334 " of the last line.
    QByteArray lastText() const { return lines.isEmpty() ? QByteArray() : lines.back(); }
};

// Cuts the bytes a server sends into replies, however the reads split them.
// A line ends with "\r\n" or a bare "\n". A reply is complete with its last
// line: three digits followed by a blank or by the line end; lines with a
// hyphen after the code continue it.
class SmtpReplyParser {
public:
    // Far above what any server sends (RFC 5321 allows 512 bytes a line);
    // anything longer is an attack or garbage, not a reply.
    static constexpr qsizetype kMaxLineBytes = 4096;
    static constexpr qsizetype kMaxReplyLines = 512;

    enum class Status { NeedMore, Complete, Malformed };

    void feed(const QByteArray& bytes) { m_buffer.append(bytes); }

    // The next complete reply into `out`; NeedMore until its last line has
    // arrived. After Malformed the stream cannot be trusted any more.
    Status next(SmtpReply& out);

    // Bytes received that belong to no complete reply yet.
    qsizetype pendingBytes() const { return m_buffer.size() - m_offset; }

private:
    QByteArray m_buffer;
    qsizetype m_offset = 0;  // start of the reply being read
};

}  // namespace postlet
