#include "mail_header.h"

#include "base64_lines.h"

#include <QLocale>

namespace postlet {

namespace {

// 45 bytes of UTF-8 make 60 base64 characters; with "=?UTF-8?B?" and "?="
// a word stays within 75.
constexpr qsizetype kWordBytes = 45;

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Where a piece of at most kWordBytes starting at `from` may end without
// cutting a UTF-8 sequence.
qsizetype pieceEnd(const QByteArray& utf8, qsizetype from)
{
    qsizetype end = std::min(from + kWordBytes, utf8.size());
    while (end < utf8.size() && end > from && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

QByteArray quoted(const QByteArray& text)
{
    QByteArray out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out.append('\\');
        out.append(c);
    }
    return out.append('"');
}

}  // namespace

QByteArray dateHeaderValue(const QDateTime& localTime)
{
    const int offset = localTime.offsetFromUtc() / 60;
    const int magnitude = offset < 0 ? -offset : offset;
    const QString stamp = QLocale::c().toString(localTime, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss "));
    return stamp.toLatin1() + (offset < 0 ? '-' : '+') + QByteArray::number(magnitude / 60).rightJustified(2, '0')
        + QByteArray::number(magnitude % 60).rightJustified(2, '0');
}

QByteArray headerText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (isAscii(utf8))
        return utf8;
    QByteArray out;
    for (qsizetype from = 0; from < utf8.size();) {
        const qsizetype end = pieceEnd(utf8, from);
        if (!out.isEmpty())
            out.append("\r\n ");
        out.append("=?UTF-8?B?").append(encodeBase64(utf8.mid(from, end - from))).append("?=");
        from = end;
    }
    return out;
}

QByteArray formatAddress(const MailAddress& address)
{
    const QByteArray mailbox = address.address.toUtf8();
    if (address.name.isEmpty())
        return mailbox;
    const QByteArray name = address.name.toUtf8();
    const QByteArray shown = isAscii(name) ? quoted(name) : headerText(address.name);
    return shown + " <" + mailbox + '>';
}

QByteArray formatAddressList(const QList<MailAddress>& addresses)
{
    QByteArray out;
    for (const MailAddress& a : addresses) {
        if (!out.isEmpty())
            out.append(',');
        out.append(formatAddress(a));
    }
    return out;
}

}  // namespace postlet
