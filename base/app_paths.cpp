#include "app_paths.h"

#include "platform/known_folders.h"

#include <QDir>

namespace base {

QString AppPaths::settingsFolder() const
{
    const QString folder = saveRoot + QLatin1String("/Setting");
    QDir().mkpath(folder);
    return folder;
}

QString AppPaths::calibrationFolder() const
{
    return settingsFolder() + QLatin1String("/calibration");
}

QString AppPaths::imageTogglesIni() const
{
    return settingsFolder() + QLatin1String("/morpholoyPofile.ini");
}

void setProgramPaths(AppPaths& paths, const QString& programFolder)
{
    paths.programFolder = programFolder;
    const QString shipped = platform::shippedFilesFolder(programFolder);
    paths.startRecordSound = shipped + QLatin1String("/startRecord.wav");
    paths.stopRecordSound = shipped + QLatin1String("/stopRecord.wav");
    paths.captureSound = shipped + QLatin1String("/Capture.wav");
    paths.snapshotProgram = programFolder + QLatin1String("/SNAPSHOT");
}

void ensureCurrentFolderTree(const AppPaths& paths)
{
    QDir().mkpath(paths.currentPictureFolder());
    QDir().mkpath(paths.currentVideoFolder());
}

}  // namespace base
