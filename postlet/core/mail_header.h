#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace postlet {

// A display name and an address.
struct MailAddress {
    QString name;
    QString address;
};

// "Tue, 05 Mar 2024 14:07:09 +0530": English names, the offset of the local
// zone in effect at that moment (daylight time included).
QByteArray dateHeaderValue(const QDateTime& localTime);

// The text itself when it is plain ASCII, otherwise UTF-8 encoded words
// ("=?UTF-8?B?...?="), several on folded lines when one would pass the 75
// characters a word may have; a character is never split between two words.
QByteArray headerText(const QString& text);

// "\"name\" <address>", the name as encoded words when it is not ASCII (and
// then unquoted, as a quoted string may not hold encoded words), the address
// alone when the name is empty.
QByteArray formatAddress(const MailAddress& address);
// The entries joined with ",".
QByteArray formatAddressList(const QList<MailAddress>& addresses);

}  // namespace postlet
