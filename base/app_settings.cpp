#include "app_settings.h"

#include "platform/language_choice.h"
#include "save_path_ini.h"
#include "saved_folder_count.h"

#include "platform/known_folders.h"
#include "platform/registry.h"

#include <QDir>

namespace base {

AppSettings loadAppSettings(platform::Registry& registry, const StartupEnvironment& env)
{
    AppSettings s;
    setProgramPaths(s.paths, env.programFolder);
    s.paths.settingsHome = env.settingsHome;
    QDir().mkpath(s.paths.settingsHome);

    loadOrCreateSavePaths(s.paths);
    // The current folder is complete before the folders are counted, so a
    // first start already lists it.
    ensureCurrentFolderTree(s.paths);
    QDir().mkpath(s.paths.calibrationFolder());

    s.toggles = readImageToggles(s.paths.imageTogglesIni());
    s.savedFolderCount = countSavedFileFolders(s.paths.foldersRoot);
    s.registry = readRegistrySettings(registry);
    readCrosshair(registry);  // so a first start stores every value

    s.uiLanguageMainId = s.registry.languagemainid;
    s.uiLanguageSubId = s.registry.languagesubid;
    if (s.uiLanguageMainId == 0) {
        s.uiLanguageMainId = platform::primaryLanguageIdOf(env.systemLocale);
        s.uiLanguageSubId = 0;
    }
    s.paths.languageFile = platform::chooseLanguageFile(platform::shippedFilesFolder(s.paths.programFolder), s.uiLanguageMainId,
                                                        s.uiLanguageSubId);
    return s;
}

}  // namespace base
