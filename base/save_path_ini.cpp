#include "save_path_ini.h"

#include "platform/ini_document.h"
#include "platform/private_profile.h"

#include <QDir>
#include <QFileInfo>

namespace base {

namespace {

const QString kDefaultSection = QStringLiteral("DefaultSavePath");

QList<QPair<QString, QString>> savePathValues(const AppPaths& paths)
{
    return {{QStringLiteral("RootDir"), paths.saveRoot},
            {QStringLiteral("PictureVideoDir"), paths.foldersRoot},
            {QStringLiteral("SelectPictureVideoDir"), paths.currentFolder}};
}

}  // namespace

void setSavePaths(platform::IniDocument& ini, const AppPaths& paths)
{
    for (const auto& [key, value] : savePathValues(paths))
        ini.setValue(kDefaultSection, key, value);
}

bool storeSavePaths(const AppPaths& paths)
{
    return platform::writeProfileStrings(paths.savePathIni(), kDefaultSection, savePathValues(paths));
}

void loadOrCreateSavePaths(AppPaths& paths)
{
    const QString ini = paths.savePathIni();
    const bool existed = QFileInfo::exists(ini);
    if (existed) {
        paths.saveRoot = platform::readProfileString(ini, kDefaultSection, QStringLiteral("RootDir"));
        paths.foldersRoot = platform::readProfileString(ini, kDefaultSection, QStringLiteral("PictureVideoDir"));
        paths.currentFolder = platform::readProfileString(ini, kDefaultSection, QStringLiteral("SelectPictureVideoDir"));
    }

    QList<QPair<QString, QString>> repaired;
    if (paths.saveRoot.isEmpty()) {
        paths.saveRoot = paths.settingsHome;
        repaired.append({QStringLiteral("RootDir"), paths.saveRoot});
    }
    if (paths.foldersRoot.isEmpty()) {
        paths.foldersRoot = paths.saveRoot + QLatin1String("/SaveFile");
        repaired.append({QStringLiteral("PictureVideoDir"), paths.foldersRoot});
    }
    if (paths.currentFolder.isEmpty()) {
        paths.currentFolder = paths.foldersRoot + QLatin1String("/Default");
        repaired.append({QStringLiteral("SelectPictureVideoDir"), paths.currentFolder});
    }
    QDir().mkpath(paths.foldersRoot);
    QDir().mkpath(paths.currentFolder);

    if (!repaired.isEmpty())
        platform::writeProfileStrings(ini, kDefaultSection, repaired);
    if (!existed)
        platform::writeProfileString(ini, QStringLiteral("SavePath"), QStringLiteral("SaveFile1"), paths.currentFolder);
}

}  // namespace base
