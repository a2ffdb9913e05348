#include "app_paths.h"

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
    paths.startRecordSound = programFolder + QLatin1String("/startRecord.wav");
    paths.stopRecordSound = programFolder + QLatin1String("/stopRecord.wav");
    paths.captureSound = programFolder + QLatin1String("/Capture.wav");
    paths.snapshotProgram = programFolder + QLatin1String("/SNAPSHOT");
}

void ensureCurrentFolderTree(const AppPaths& paths)
{
    QDir().mkpath(paths.currentPictureFolder());
    QDir().mkpath(paths.currentVideoFolder());
}

}  // namespace base
