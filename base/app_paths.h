#pragma once

#include <QString>

namespace base {

// The paths every window reads: fixed at start-up, the current folder
// changed later by the saved-files folders.
struct AppPaths {
    QString programFolder;
    QString startRecordSound;
    QString stopRecordSound;
    QString captureSound;
    QString snapshotProgram;
    QString settingsHome;   // always holds savepath.ini
    QString saveRoot;       // RootDir of savepath.ini
    QString foldersRoot;    // parent of all saved-files folders
    QString currentFolder;  // where new pictures and clips go
    QString languageFile;

    QString currentPictureFolder() const { return currentFolder + QLatin1String("/Picture"); }
    QString currentVideoFolder() const { return currentFolder + QLatin1String("/Video"); }
    QString savePathIni() const { return settingsHome + QLatin1String("/savepath.ini"); }

    // "<save root>/Setting", created when missing so every caller may rely on it.
    QString settingsFolder() const;
    // "<settings folder>/calibration"
    QString calibrationFolder() const;
    // "<settings folder>/morpholoyPofile.ini"
    QString imageTogglesIni() const;
};

// Fills the program folder and the paths of the files beside the program
// (under share/vellumet when installed, see platform::shippedFilesFolder).
void setProgramPaths(AppPaths& paths, const QString& programFolder);

// Creates the current folder with its Picture and Video folders.
void ensureCurrentFolderTree(const AppPaths& paths);

}  // namespace base
