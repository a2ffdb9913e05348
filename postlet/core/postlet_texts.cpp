#include "postlet_texts.h"

#include "base/text_lookup.h"

namespace postlet {

QString textOf(const UiText& text)
{
    return base::uiText(text.key, text.english, text.capacity);
}

namespace {

QString failureText(const UiText& text, const QString& serverReply)
{
    const QString reply = serverReply.trimmed();
    return reply.isEmpty() ? textOf(text) : textOf(text) + QLatin1String("\n\n") + reply;
}

}  // namespace

QString outcomeText(SendOutcome outcome, const QString& serverReply)
{
    switch (outcome) {
    case SendOutcome::Sent: return textOf(texts::MailSuccessfully);
    case SendOutcome::ConnectFailed: return failureText(texts::MailFailed, serverReply);
    case SendOutcome::CertificateFailed: return failureText(texts::MailCertificate, serverReply);
    case SendOutcome::TlsUnavailable: return failureText(texts::MailNoEncryption, serverReply);
    case SendOutcome::AuthFailed: return failureText(texts::Authentication, serverReply);
    case SendOutcome::SendFailed: return failureText(texts::SendFailed, serverReply);
    case SendOutcome::Cancelled: break;
    }
    return QString();
}

QString checkText(RequestCheck check)
{
    switch (check) {
    case RequestCheck::AccountIncomplete:
    case RequestCheck::AccountInvalid: return textOf(texts::SettingInvalid);
    case RequestCheck::RecipientInvalid: return textOf(texts::RecipientInvalid);
    case RequestCheck::Ok: break;
    }
    return QString();
}

QString stageText(SendStage stage)
{
    switch (stage) {
    case SendStage::Connecting: return textOf(texts::MailConnecting);
    case SendStage::LoggingIn: return textOf(texts::MailLoggingIn);
    case SendStage::Sending: return textOf(texts::MailSending);
    case SendStage::Finishing: return textOf(texts::MailFinishing);
    }
    return QString();
}

}  // namespace postlet
