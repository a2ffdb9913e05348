#pragma once

#include "mail_header.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace postlet {

// Larger files are not attached.
constexpr qint64 kMaxAttachmentBytes = 10 * 1024 * 1024;

struct Attachment {
    QString title;      // the file's name with extension, no folders
    QString fileName;   // the same
    QByteArray base64;  // in 76-character lines
};

struct MailMessage {
    MailAddress from;
    QList<MailAddress> to;
    QList<MailAddress> cc;
    QList<MailAddress> bcc;  // envelope only, never in the header
    QString subject;
    QString body;
    QString xMailer = QStringLiteral("SMTP Sender V1.0");
    QList<Attachment> attachments;
};

// The file at `path` ready to attach, or nothing when it is missing, cannot
// be read or is larger than kMaxAttachmentBytes.
std::optional<Attachment> loadAttachment(const QString& path);

// Whether the file at `path` is there but larger than kMaxAttachmentBytes, so
// the mail would go without it.
bool isAttachmentTooLarge(const QString& path);

// The message as it goes after DATA, before dot-stuffing: header, then the
// body in quoted-printable UTF-8, then each attachment in base64 inside a
// multipart/mixed with the boundary "#BOUNDARY#" (none without attachments).
QByteArray composeMessage(const MailMessage& message, const QDateTime& localTime);

}  // namespace postlet
