#pragma once

#include <QString>

namespace platform {

// Folder of the running executable; language files, sounds and the companion
// programs are installed beside it.
QString programFolder();

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
