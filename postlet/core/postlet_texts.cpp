#include "postlet_texts.h"

#include "base/text_lookup.h"

namespace postlet {

QString textOf(const UiText& text)
{
    return base::uiText(text.key, text.english, text.capacity);
}

QString outcomeText(SendOutcome outcome)
{
    switch (outcome) {
    case SendOutcome::Sent: return textOf(texts::MailSuccessfully);
    case SendOutcome::ConnectFailed: return textOf(texts::MailFailed);
    case SendOutcome::CertificateFailed: return textOf(texts::MailCertificate);
    case SendOutcome::TlsUnavailable: return textOf(texts::MailNoEncryption);
    case SendOutcome::AuthFailed: return textOf(texts::Authentication);
    case SendOutcome::SendFailed: return textOf(texts::SendFailed);
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
