#include "mail_message.h"

#include "base64_lines.h"
#include "quoted_printable.h"

#include <QFile>
#include <QFileInfo>

namespace postlet {

namespace {

const QByteArray kBoundary = "#BOUNDARY#";

bool isPlainParameter(const QByteArray& value)
{
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '"' || c == '\\')
            return false;
    }
    return true;
}

// `name="value"`, or the RFC 2231 form `name*=UTF-8''%XX...` for a file name
// that quoting cannot carry.
QByteArray parameter(const char* name, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    if (isPlainParameter(utf8))
        return QByteArray(name) + "=\"" + utf8 + '"';
    return QByteArray(name) + "*=UTF-8''" + utf8.toPercentEncoding();
}

QByteArray header(const MailMessage& m, const QDateTime& localTime)
{
    QByteArray h;
    h += "From: " + formatAddress(m.from) + "\r\n";
    h += "To: " + formatAddressList(m.to) + "\r\n";
    if (!m.cc.isEmpty())
        h += "Cc: " + formatAddressList(m.cc) + "\r\n";
    h += "Subject: " + headerText(m.subject) + "\r\n";
    h += "Date: " + dateHeaderValue(localTime) + "\r\n";
    h += "X-Mailer: " + m.xMailer.toUtf8() + "\r\n";
    h += "MIME-Version: 1.0\r\n";
    if (m.attachments.isEmpty())
        h += "Content-type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
    else
        h += "Content-type: multipart/mixed; boundary=\"" + kBoundary + "\"\r\n";
    return h + "\r\n";
}

}  // namespace

std::optional<Attachment> loadAttachment(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxAttachmentBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read one byte more than allowed, so a file that grew meanwhile is caught.
    const QByteArray bytes = file.read(kMaxAttachmentBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxAttachmentBytes)
        return std::nullopt;
    return Attachment{info.fileName(), info.fileName(), encodeBase64Lines(bytes)};
}

bool isAttachmentTooLarge(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.size() > kMaxAttachmentBytes;
}

QByteArray composeMessage(const MailMessage& message, const QDateTime& localTime)
{
    QByteArray out = header(message, localTime);
    const QByteArray body = encodeQuotedPrintable(message.body.toUtf8());
    if (message.attachments.isEmpty())
        return out + body;

    qsizetype size = out.size() + body.size() + 256;
    for (const Attachment& a : message.attachments)
        size += a.base64.size() + 256;
    out.reserve(size);
    out += "\r\n--" + kBoundary + "\r\nContent-Type: text/plain; charset=UTF-8\r\n"
        + "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    out += body;
    for (const Attachment& a : message.attachments) {
        out += "\r\n--" + kBoundary + "\r\nContent-Type: application/octet-stream; " + parameter("name", a.title)
            + "\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; " + parameter("filename", a.fileName)
            + "\r\n\r\n";
        out += a.base64;
    }
    out += "\r\n--" + kBoundary + "--";
    return out;
}

}  // namespace postlet
