#include "load_folders.h"

#include "files/core/saved_folders.h"

#include "base/app_settings.h"

#include "platform/message_dialogs.h"
#include "platform/posted_message.h"

namespace files {

void loadFolders(base::AppSettings& settings, QObject* mainWindow)
{
    SavedFolders folders(settings.paths, settings.savedFolderCount);
    const FolderOutcome outcome = folders.loadFolders();
    platform::postMessage(mainWindow, platform::msg::RebuildFolderPane);
    platform::messageDialogs().inform(outcome == FolderOutcome::Done ? restartText() : outcomeText(outcome));
}

}  // namespace files
