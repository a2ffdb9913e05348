#include "postlet_files.h"

#include "platform/known_folders.h"
#include "platform/private_profile.h"

#include <QDir>
#include <QFileInfo>

namespace postlet {

QString mailSettingsPath()
{
    const QString folder = platform::configFolder();
    QDir().mkpath(folder);
    return folder + QLatin1String("/mailset.dat");
}

QStringList mailPicPathFolders()
{
    // Installed, the second is the configuration folder again: the file is
    // looked for once.
    QStringList folders{platform::configFolder(), platform::programDataFolder()};
    folders.removeDuplicates();
    return folders;
}

QString readMailPicPath(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString ini = folder + QLatin1String("/MailPicPath.ini");
        if (QFileInfo::exists(ini))
            return platform::readProfileString(ini, QStringLiteral("MailPicPath"), QStringLiteral("strPaths"));
    }
    return QString();
}

QString instanceLockPath()
{
    return platform::runtimeFolder() + QLatin1String("/postlet.lock");
}

}  // namespace postlet
