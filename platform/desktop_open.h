#pragma once

#include <QString>

#include <functional>

namespace platform {

// Opens a file or folder with the program the desktop has for it (the
// workbook in the spreadsheet program, a folder in the file manager).
// Tests install their own so that nothing is launched.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // False when the desktop has nothing to open it with.
    virtual bool open(const QString& path) = 0;
    // Opens `path`; when the desktop turns out to have nothing to open it
    // with, perhaps only a moment later, `failed` is called on the GUI
    // thread with the reason (empty when none is known).
    virtual void openOrReport(const QString& path, const std::function<void(const QString& reason)>& failed)
    {
        if (!open(path))
            failed(QString());
    }
};

DesktopOpener& desktopOpener();
// Installs `opener` (not owned; nullptr restores the default); returns the previous one.
DesktopOpener* setDesktopOpener(DesktopOpener* opener);

}  // namespace platform
