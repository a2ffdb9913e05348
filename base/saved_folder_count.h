#pragma once

#include <QString>
#include <QStringList>

namespace base {

// Folders directly under `foldersRoot` that hold both a Picture and a Video
// folder: the saved-files folders the folder list may show.
int countSavedFileFolders(const QString& foldersRoot);
// Their paths, in name order.
QStringList savedFileFolders(const QString& foldersRoot);

}  // namespace base
