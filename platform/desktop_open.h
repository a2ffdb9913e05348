#pragma once

#include <QString>

namespace platform {

// Opens a file or folder with the program the desktop has for it (the
// workbook in the spreadsheet program, a folder in the file manager).
// Tests install their own so that nothing is launched.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // False when the desktop has nothing to open it with.
    virtual bool open(const QString& path) = 0;
};

DesktopOpener& desktopOpener();
// Installs `opener` (not owned; nullptr restores the default); returns the previous one.
DesktopOpener* setDesktopOpener(DesktopOpener* opener);

}  // namespace platform
