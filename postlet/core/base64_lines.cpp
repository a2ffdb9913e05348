#include "base64_lines.h"

#include <array>

namespace postlet {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr qsizetype kLineChars = 76;
constexpr qsizetype kLineBytes = kLineChars / 4 * 3;  // 57 input bytes fill one line

// Encodes whole groups of three bytes; returns the end of the output.
char* encodeGroups(const unsigned char* in, qsizetype groups, char* out)
{
    for (qsizetype g = 0; g < groups; ++g, in += 3) {
        const unsigned v = (unsigned(in[0]) << 16) | (unsigned(in[1]) << 8) | in[2];
        *out++ = kAlphabet[(v >> 18) & 63];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = kAlphabet[(v >> 6) & 63];
        *out++ = kAlphabet[v & 63];
    }
    return out;
}

// The last one or two bytes with their padding.
char* encodeTail(const unsigned char* in, qsizetype n, char* out)
{
    if (n == 0)
        return out;
    const unsigned v = (unsigned(in[0]) << 16) | (n == 2 ? unsigned(in[1]) << 8 : 0u);
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = n == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
    return out;
}

constexpr std::array<signed char, 256> decodeTable()
{
    std::array<signed char, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return t;
}

}  // namespace

QByteArray encodeBase64Lines(const QByteArray& bytes)
{
    const qsizetype n = bytes.size();
    const qsizetype chars = (n + 2) / 3 * 4;
    const qsizetype lines = chars == 0 ? 1 : (chars + kLineChars - 1) / kLineChars;
    QByteArray out(chars + lines * 2, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    char* o = out.data();
    qsizetype done = 0;
    while (n - done >= kLineBytes) {
        o = encodeGroups(in + done, kLineBytes / 3, o);
        *o++ = '\r';
        *o++ = '\n';
        done += kLineBytes;
    }
    const qsizetype left = n - done;
    if (left > 0 || n == 0) {
        o = encodeGroups(in + done, left / 3, o);
        o = encodeTail(in + done + left / 3 * 3, left % 3, o);
        *o++ = '\r';
        *o++ = '\n';
    }
    out.truncate(o - out.constData());
    return out;
}

QByteArray encodeBase64(const QByteArray& bytes)
{
    const qsizetype n = bytes.size();
    QByteArray out((n + 2) / 3 * 4, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    char* o = encodeGroups(in, n / 3, out.data());
    encodeTail(in + n / 3 * 3, n % 3, o);
    return out;
}

QByteArray decodeBase64Lenient(const QByteArray& text)
{
    static constexpr auto kTable = decodeTable();
    QByteArray out;
    unsigned acc = 0;
    int bits = 0;
    for (const char c : text) {
        if (c >= 7 && c <= 13)
            continue;
        const int v = kTable[static_cast<unsigned char>(c)];
        if (v < 0)
            break;  // "=" or anything outside the alphabet ends the text
        acc = (acc << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.append(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    return out;
}

}  // namespace postlet
