#include "known_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace platform {

namespace {

QString envFolder(const char* name)
{
    const QString v = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(v) ? QDir::cleanPath(v) : QString();
}

QString homeFolder()
{
    return QDir::homePath();
}

}  // namespace

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists, ask the kernel.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

QString installedShareFolder(const QString& programFolder)
{
    const QString share = QDir::cleanPath(programFolder + QLatin1String("/../share/vellumet"));
    return !programFolder.isEmpty() && QFileInfo(share).isDir() ? share : QString();
}

QString shippedFilesFolder(const QString& programFolder)
{
    const QString share = installedShareFolder(programFolder);
    return share.isEmpty() ? programFolder : share;
}

QString programDataFolder(const QString& programFolder)
{
    return installedShareFolder(programFolder).isEmpty() ? programFolder : configFolder();
}

QString shippedFilesFolder()
{
    return shippedFilesFolder(programFolder());
}

QString programDataFolder()
{
    return programDataFolder(programFolder());
}

QString documentsFolder()
{
    QString folder = envFolder("XDG_DOCUMENTS_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || folder == homeFolder())
        folder = homeFolder() + QLatin1String("/Documents");
    QDir().mkpath(folder);
    return folder;
}

QString settingsHome()
{
    return documentsFolder() + QLatin1String("/Vellumet");
}

QString configFolder()
{
    QString base = envFolder("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = homeFolder() + QLatin1String("/.config");
    return base + QLatin1String("/Vellumet");
}

QString runtimeFolder()
{
    QString base = envFolder("XDG_RUNTIME_DIR");
    QString folder = base.isEmpty() ? QStringLiteral("/tmp/vellumet-%1").arg(::getuid()) : base + QLatin1String("/vellumet");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

}  // namespace platform
