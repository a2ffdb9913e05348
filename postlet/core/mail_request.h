#pragma once

#include "mail_account.h"
#include "mail_message.h"
#include "smtp_session.h"

#include <QString>

namespace postlet {

// What the user filled into the mail dialog.
struct MailRequest {
    QString to;
    QString cc;  // empty: a copy goes to the To address
    QString subject;
    QString body;
    QString attachmentPath;
};

enum class RequestCheck { Ok, AccountIncomplete, AccountInvalid, RecipientInvalid };

// Whether the mail may go out: the account complete and usable, a To address,
// no line breaks in To, Cc or Subject.
RequestCheck checkRequest(const MailAccount& account, const MailRequest& request);

// The Cc address: the Cc field, or the To field when that is empty.
QString copyAddress(const MailRequest& request);

// The message: sender named after the user name at the mailbox, one To and
// one Cc entry, the attachment when it can be attached (it is left out when
// it is missing or too large).
MailMessage buildMailMessage(const MailAccount& account, const MailRequest& request);

// The mailbox, then each distinct address of To, Cc and Bcc once, in that
// order.
SmtpEnvelope envelopeOf(const MailMessage& message);

}  // namespace postlet
