#include "mail_request.h"

namespace postlet {

RequestCheck checkRequest(const MailAccount& account, const MailRequest& request)
{
    if (!isAccountComplete(account))
        return RequestCheck::AccountIncomplete;
    if (!isAccountUsable(account))
        return RequestCheck::AccountInvalid;
    if (request.to.trimmed().isEmpty() || !isSingleLine(request.to) || !isSingleLine(request.cc)
        || !isSingleLine(request.subject))
        return RequestCheck::RecipientInvalid;
    return RequestCheck::Ok;
}

QString copyAddress(const MailRequest& request)
{
    const QString cc = request.cc.trimmed();
    return cc.isEmpty() ? request.to.trimmed() : cc;
}

MailMessage buildMailMessage(const MailAccount& account, const MailRequest& request)
{
    MailMessage m;
    m.from = {account.userName, account.mailbox};
    // Recipients carry no display name: the user name names the sender only.
    m.to = {{QString(), request.to.trimmed()}};
    m.cc = {{QString(), copyAddress(request)}};
    m.subject = request.subject;
    m.body = request.body;
    if (auto a = loadAttachment(request.attachmentPath))
        m.attachments.append(std::move(*a));
    return m;
}

namespace {

// The address a mailbox is known by: its domain in lower case.
QString mailboxKey(const QString& address)
{
    const QString a = address.trimmed();
    const qsizetype at = a.lastIndexOf(QLatin1Char('@'));
    // The domain is case-blind; the local part belongs to the receiving
    // server, which may tell "Ann" from "ann".
    return at < 0 ? a : a.left(at + 1) + a.mid(at + 1).toLower();
}

}  // namespace

SmtpEnvelope envelopeOf(const MailMessage& message)
{
    SmtpEnvelope e{message.from.address, {}};
    QStringList keys;
    for (const auto* list : {&message.to, &message.cc, &message.bcc}) {
        for (const MailAddress& a : *list) {
            // A mailbox named twice (Cc copies To when it is left empty) is
            // asked for once, or it gets the mail twice.
            const QString key = mailboxKey(a.address);
            if (keys.contains(key))
                continue;
            keys.append(key);
            e.recipients.append(a.address);
        }
    }
    return e;
}

}  // namespace postlet
