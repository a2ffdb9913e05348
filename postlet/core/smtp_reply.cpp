#include "smtp_reply.h"

namespace postlet {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

SmtpReplyParser::Status SmtpReplyParser::next(SmtpReply& out)
{
    SmtpReply reply;
    qsizetype pos = m_offset;
    while (true) {
        const qsizetype lf = m_buffer.indexOf('\n', pos);
        if (lf < 0)
            return m_buffer.size() - pos > kMaxLineBytes ? Status::Malformed : Status::NeedMore;
        if (lf - pos > kMaxLineBytes || reply.lines.size() >= kMaxReplyLines)
            return Status::Malformed;
        QByteArray line = m_buffer.mid(pos, lf - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        pos = lf + 1;
        if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
            return Status::Malformed;
        const int code = line.left(3).toInt();
        const char separator = line.size() > 3 ? line[3] : ' ';
        if (separator != ' ' && separator != '-')
            return Status::Malformed;
        if (!reply.lines.isEmpty() && code != reply.code)
            return Status::Malformed;
        reply.code = code;
        reply.lines.append(line.mid(4));
        if (separator == ' ')
            break;
    }
    // Drop what has been read once it is a good part of the buffer, so a long
    // exchange does not keep every reply.
    m_offset = pos;
    if (m_offset > 65536 || m_offset == m_buffer.size()) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    out = reply;
    return Status::Complete;
}

}  // namespace postlet
