#pragma once

#include <QString>

namespace base {

// Folders directly under `foldersRoot` that hold both a Picture and a Video
// folder: the saved-files folders the folder list may show.
int countSavedFileFolders(const QString& foldersRoot);

}  // namespace base
