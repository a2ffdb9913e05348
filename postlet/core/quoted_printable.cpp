#include "quoted_printable.h"

namespace postlet {

namespace {

constexpr int kMaxLine = 76;
constexpr char kHex[] = "0123456789ABCDEF";

class Writer {
public:
    explicit Writer(QByteArray& out) : m_out(out) {}

    // Appends one encoded piece (a byte or its "=XX"), breaking softly first
    // when it would not fit before the "=" a soft break needs.
    void put(const char* piece, int size, bool lastOnLine)
    {
        const int room = lastOnLine ? kMaxLine : kMaxLine - 1;
        if (m_column + size > room) {
            m_out.append("=\r\n", 3);
            m_column = 0;
        }
        if (m_column == 0 && size == 1 && *piece == '-') {
            piece = "=2D";
            size = 3;
        }
        m_out.append(piece, size);
        m_column += size;
    }

    void hardBreak()
    {
        m_out.append("\r\n", 2);
        m_column = 0;
    }

private:
    QByteArray& m_out;
    int m_column = 0;
};

void encodeLine(const char* begin, const char* end, Writer& w)
{
    for (const char* p = begin; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        const bool last = p + 1 == end;
        const bool blank = c == ' ' || c == '\t';
        const bool literal = (c >= 33 && c <= 126 && c != '=') || (blank && !last);
        if (literal) {
            w.put(p, 1, last);
        } else {
            const char hex[3] = {'=', kHex[c >> 4], kHex[c & 15]};
            w.put(hex, 3, last);
        }
    }
}

}  // namespace

QByteArray encodeQuotedPrintable(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 16);
    Writer w(out);
    const char* p = text.constData();
    const char* end = p + text.size();
    while (true) {
        const char* lineEnd = p;
        while (lineEnd != end && *lineEnd != '\r' && *lineEnd != '\n')
            ++lineEnd;
        encodeLine(p, lineEnd, w);
        if (lineEnd == end)
            break;
        w.hardBreak();
        p = lineEnd + ((*lineEnd == '\r' && lineEnd + 1 != end && lineEnd[1] == '\n') ? 2 : 1);
    }
    return out;
}

}  // namespace postlet
