#include "mail_account.h"

#include "platform/atomic_file.h"

#include <QFile>

namespace postlet {

namespace {

QString recordText(const QByteArray& file, int index)
{
    const QByteArray record = file.mid(qsizetype(index) * kRecordBytes, kRecordBytes);
    const qsizetype zero = record.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? record : record.left(zero));
}

bool fitsRecord(const QString& value)
{
    return value.toUtf8().size() <= kMaxValueBytes;
}

}  // namespace

MailAccount readMailSettings(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(4 * kRecordBytes);
    return {recordText(bytes, 0), recordText(bytes, 1), recordText(bytes, 2), recordText(bytes, 3)};
}

bool writeMailSettings(const QString& path, const MailAccount& account)
{
    const QString values[] = {account.server, account.mailbox, account.userName, account.password};
    QByteArray bytes(4 * kRecordBytes, '\0');
    for (int i = 0; i < 4; ++i) {
        if (!fitsRecord(values[i]))
            return false;
        const QByteArray utf8 = values[i].toUtf8();
        bytes.replace(qsizetype(i) * kRecordBytes, utf8.size(), utf8);
    }
    return platform::writeFileAtomically(path, bytes, platform::FileAccess::OwnerOnly);
}

bool isAccountComplete(const MailAccount& account)
{
    return !account.server.isEmpty() && !account.mailbox.isEmpty() && !account.userName.isEmpty();
}

bool isSingleLine(const QString& text)
{
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')) && !text.contains(QChar(0));
}

bool isAccountUsable(const MailAccount& account)
{
    for (const QString* v : {&account.server, &account.mailbox, &account.userName, &account.password}) {
        if (!fitsRecord(*v) || !isSingleLine(*v))
            return false;
    }
    return true;
}

}  // namespace postlet
