#pragma once

class QObject;

namespace base {
struct AppSettings;
}

namespace files {

// Load Folders: starts the folder list over from the settings home with
// every saved-files folder found there, the Default folder current, and
// tells the user to restart. The folder pane (1168 to `mainWindow`) shows
// the new list at once.
void loadFolders(base::AppSettings& settings, QObject* mainWindow);

}  // namespace files
