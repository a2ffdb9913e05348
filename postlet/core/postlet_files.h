#pragma once

#include <QString>
#include <QStringList>

namespace postlet {

// The account file: mailset.dat in the user's configuration folder (it holds
// a password, so it lives with the user, never beside the program).
QString mailSettingsPath();

// Where MailPicPath.ini is looked for, first found wins: the user's
// configuration folder, where other programs can write it, then beside the
// program (in the build tree; see platform::programDataFolder).
QStringList mailPicPathFolders();

// The path of the picture to attach: key "strPaths" of section "MailPicPath"
// of the first MailPicPath.ini in `folders`; empty when there is none.
QString readMailPicPath(const QStringList& folders);

// The lock file that keeps Postlet to one instance per user session.
QString instanceLockPath();

}  // namespace postlet
