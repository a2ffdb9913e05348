#pragma once

#include "mail_request.h"
#include "smtp_session.h"

#include <QString>

namespace postlet {

// A text the user sees: its key in the language file, the English default
// and the capacity of its look-up.
struct UiText {
    const char* key;
    const char* english;
    int capacity;
};

namespace texts {
constexpr int kLabel = 64;
constexpr int kMessage = 260;

constexpr UiText SendEmail{"SendEmail", "Send Email", kLabel};
constexpr UiText Recipients{"Recipients", "Recipients", kLabel};
constexpr UiText MailCC{"MailCC", "Mail CC", kLabel};
constexpr UiText Subject{"Subject", "Subject", kLabel};
constexpr UiText AttachmentLabel{"Attachment", "Attachment", kLabel};
constexpr UiText Setting{"Setting", "Setting", kLabel};
constexpr UiText AccountSettings{"AccountSettings", "Email account settings", kLabel};
constexpr UiText Smtp{"SMTP", "Send mail (SMTP)", kLabel};
constexpr UiText Mailbox{"Mailbox", "Mailbox", kLabel};
constexpr UiText UserName{"UserName", "User Name", kLabel};
constexpr UiText UserPassword{"UserPassword", "Password", kLabel};
constexpr UiText SettingInvalid{"SettingInvalid", "The parameter settings is invalid", kMessage};
constexpr UiText RecipientInvalid{"RecipientInvalid", "The recipient is invalid", kMessage};
constexpr UiText MailSuccessfully{"MailSuccessfully", "send successfully", kMessage};
constexpr UiText MailFailed{"MailFailed", "Mail server connection failed", kMessage};
constexpr UiText Authentication{"Authentication", "Mail server authentication failed", kMessage};
constexpr UiText SendFailed{"SendFailed", "Send failed", kMessage};
// Encryption and progress, which the connection over the network adds.
constexpr UiText MailCertificate{"MailCertificate", "The mail server's certificate could not be verified", kMessage};
constexpr UiText MailNoEncryption{"MailNoEncryption", "The mail server offers no encrypted connection", kMessage};
constexpr UiText MailConnecting{"MailConnecting", "Connecting to the mail server...", kMessage};
constexpr UiText MailLoggingIn{"MailLoggingIn", "Logging in...", kMessage};
constexpr UiText MailSending{"MailSending", "Sending the mail...", kMessage};
constexpr UiText MailFinishing{"MailFinishing", "Closing the connection...", kMessage};
constexpr UiText MailEncrypted{"MailEncrypted", "Encrypted connection", kLabel};
constexpr UiText MailNotEncrypted{"MailNotEncrypted", "Unencrypted connection", kLabel};
constexpr UiText AboutPostlet{"AboutPostlet", "About Postlet", kLabel};
constexpr UiText AboutPostletButton{"AboutPostletButton", "About Postlet...", kLabel};
constexpr UiText PostletPurpose{"PostletPurpose", "Mails a picture from the microscope bench.", kMessage};
// Asked before a mail goes out without its picture.
constexpr UiText MailPictureTooLarge{
    "MailPictureTooLarge", "The picture is larger than 10 MB and will be left out of the mail. Send the mail without it?",
    kMessage};
}  // namespace texts

// The text in the language file of this run.
QString textOf(const UiText& text);

// What the user is told after an exchange; empty for Cancelled. A failure
// names the server's reply below, where there was one.
QString outcomeText(SendOutcome outcome, const QString& serverReply = QString());
// What the user is told when a request is refused; empty for Ok.
QString checkText(RequestCheck check);
// The progress line for a stage.
QString stageText(SendStage stage);

}  // namespace postlet
