#include "text_codec.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

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

bool decodeWithCodePage(const QByteArray& bytes, const QByteArray& iconvName, QString& out)
{
    iconv_t cd = ::iconv_open("UTF-8", iconvName.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::vector<char> buffer(static_cast<size_t>(bytes.size()) * 4 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t rc = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return false;
    out = QString::fromUtf8(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
    return true;
}

QString decodeIniText(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    const QByteArray cp = codePageOfFileName(fileName);
    if (!cp.isEmpty() && decodeWithCodePage(bytes, cp, text))
        return text;
    if (decodeWithCodePage(bytes, "CP1252", text))
        return text;
    return QString::fromLatin1(bytes);
}

}  // namespace platform
