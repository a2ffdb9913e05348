#pragma once

#include <QString>

namespace postlet {

// The account the mail goes out through.
struct MailAccount {
    QString server;   // "host" or "host:port"
    QString mailbox;  // the sender's address
    QString userName;
    QString password;

    bool operator==(const MailAccount&) const = default;
};

// mailset.dat: four records of 256 bytes (server, mailbox, user name,
// password), each the UTF-8 text padded with zero bytes.
constexpr int kRecordBytes = 256;
constexpr int kMaxValueBytes = kRecordBytes - 1;

// A missing or short file leaves the missing values empty; each record is
// read up to its first zero byte.
MailAccount readMailSettings(const QString& path);

// Replaces the file atomically, readable by its owner only. False when a
// value does not fit its record or the file cannot be written.
bool writeMailSettings(const QString& path, const MailAccount& account);

// Server, mailbox and user name are filled in.
bool isAccountComplete(const MailAccount& account);

// Every value fits its record and none holds a line break or a zero byte
// (which would end a command early or start a new one).
bool isAccountUsable(const MailAccount& account);

// A value that may go into a header or a command line as it is.
bool isSingleLine(const QString& text);

}  // namespace postlet
