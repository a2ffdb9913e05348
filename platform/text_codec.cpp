#include "text_codec.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace platform {

QByteArray codePageOfFileName(const QString& fileName)
{
    static const QRegularExpression trailingNumber(QStringLiteral("(\\d+)$"));
    const QRegularExpressionMatch m = trailingNumber.match(QFileInfo(fileName).completeBaseName());
    if (!m.hasMatch())
        return {};
    const int cp = m.captured(1).toInt();
    switch (cp) {
    case 936: return "GBK";
    case 950: return "BIG5";
    case 932: return "CP932";
    case 949: return "CP949";
    case 874: return "CP874";
    // The Bulgarian file carries the language number 442 in its name; its
    // text is in the Cyrillic ANSI code page.
    case 442: return "CP1251";
    default:
        if (cp >= 1250 && cp <= 1258)
            return "CP" + QByteArray::number(cp);
        return {};
    }
}

namespace {

// Converts with iconv. With `replace`, a byte sequence the code page lacks
// becomes U+FFFD and decoding goes on after its first byte; otherwise it
// fails the whole conversion.
bool convert(const QByteArray& bytes, const QByteArray& iconvName, bool replace, QString& out)
{
    iconv_t cd = ::iconv_open("UTF-8", iconvName.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    // Room for the longest outcome: three UTF-8 bytes per input byte.
    std::vector<char> buffer(static_cast<size_t>(bytes.size()) * 4 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    bool ok = true;
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (!replace || (errno != EILSEQ && errno != EINVAL)) {
            ok = false;
            break;
        }
        static const char kReplacement[] = "\xEF\xBF\xBD";
        std::copy(kReplacement, kReplacement + 3, outPtr);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    }
    ::iconv_close(cd);
    if (ok)
        out = QString::fromUtf8(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
    return ok;
}

// Whether a file that is not valid UTF-8 throughout was still written in
// UTF-8 and only damaged here and there: at least as many of its lines with
// other than ASCII characters are valid UTF-8 as not. A line of a code-page
// file is seldom valid UTF-8 by chance, and a damaged UTF-8 file has few bad
// lines; a file with one good line and one damaged line is a damaged UTF-8
// file, so that the good line keeps its text.
bool mostlyUtf8(const QByteArray& bytes)
{
    int valid = 0, invalid = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        const bool ascii = std::all_of(line.cbegin(), line.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii)
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(line);  // the decoder only learns of errors by decoding
        ++(utf8.hasError() ? invalid : valid);
    }
    return valid >= invalid;
}

}  // namespace

bool decodeWithCodePage(const QByteArray& bytes, const QByteArray& iconvName, QString& out)
{
    return convert(bytes, iconvName, false, out);
}

QString decodeIniText(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16(bytes);
    }
    // Bytes that do not fit the encoding become U+FFFD where they stand, so
    // one damaged line never costs the other lines their text.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError() || bytes.startsWith("\xEF\xBB\xBF") || mostlyUtf8(bytes)) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    const QByteArray cp = codePageOfFileName(fileName);
    if (!cp.isEmpty() && convert(bytes, cp, true, text))
        return text;
    if (decodeWithCodePage(bytes, "CP1252", text))
        return text;
    return QString::fromLatin1(bytes);
}

}  // namespace platform
