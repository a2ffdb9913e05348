#pragma once

#include <QString>

namespace platform {

// Folder of the running executable; the companion programs sit beside it.
QString programFolder();

// Where the files of "beside the program" are, for a program in `programFolder`.
// One rule: a program is installed when `<programFolder>/../share/vellumet`
// exists (bin/ and share/ of one prefix). Installed, the files we ship
// (language files, sounds) are read from that share folder and the files the
// programs keep there (CapConfig.dat, folderpath.txt, MailPicPath.ini) belong
// to the user's configuration folder, since an installed program's folder is
// not writable. In the build tree both are the program's own folder.
QString installedShareFolder(const QString& programFolder);  // empty when not installed
QString shippedFilesFolder(const QString& programFolder);
QString programDataFolder(const QString& programFolder);
// The same for the running executable.
QString shippedFilesFolder();
QString programDataFolder();

// The user's documents folder: $XDG_DOCUMENTS_DIR, else the one named in
// user-dirs.dirs, else ~/Documents. Created when missing.
QString documentsFolder();

// Where pictures, clips and profiles live by default: <documents>/Vellumet.
QString settingsHome();

// $XDG_CONFIG_HOME/Vellumet (default ~/.config/Vellumet): the registry file.
QString configFolder();

// $XDG_RUNTIME_DIR/vellumet, else a private folder under /tmp: lock files
// and local sockets. Created (mode 0700) when missing.
QString runtimeFolder();

}  // namespace platform
