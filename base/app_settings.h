#pragma once

#include "app_paths.h"
#include "image_toggles.h"
#include "registry_settings.h"

#include <QLocale>
#include <QString>

namespace platform {
class Registry;
}

namespace base {

// Everything start-up loads and the windows read: the paths, the registry
// settings, the picture toggles and the language in use.
struct AppSettings {
    AppPaths paths;
    RegistrySettings registry;
    ImageToggles toggles;
    int savedFolderCount = 0;
    // The language of this run: the stored one, or the system's when none
    // is stored (that choice is not written back).
    quint32 uiLanguageMainId = 0;
    quint32 uiLanguageSubId = 0;
    // Set by a language change or Restore Settings: the stored window layout
    // is erased at exit.
    bool cleanWorkspace = false;
    // The export's imprint tick, offered again for the rest of the run.
    bool exportImprint = true;
};

struct StartupEnvironment {
    QString programFolder;
    QString settingsHome;
    QLocale systemLocale;
};

// Fixes the paths, creates the folder tree, reads savepath.ini,
// morpholoyPofile.ini and the registry (writing back what is missing), counts
// the saved-files folders and chooses the language file.
AppSettings loadAppSettings(platform::Registry& registry, const StartupEnvironment& env);

}  // namespace base
