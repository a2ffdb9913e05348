#include "platform/known_folders.h"

#include "sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform;

TEST(KnownFolders, FollowTheXdgVariablesAndFallBackToHome)
{
    testing_support::Sandbox box;
    EXPECT_EQ(settingsHome(), box.documents() + QLatin1String("/Vellumet"));
    EXPECT_EQ(configFolder(), box.config() + QLatin1String("/Vellumet"));

    const QString elsewhere = box.path() + QLatin1String("/Dokumente");
    ::setenv("XDG_DOCUMENTS_DIR", elsewhere.toUtf8().constData(), 1);
    EXPECT_EQ(settingsHome(), elsewhere + QLatin1String("/Vellumet"));
    EXPECT_TRUE(QFileInfo(elsewhere).isDir());

    ::setenv("XDG_DOCUMENTS_DIR", "relative/is/ignored", 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsHome(), box.home() + QLatin1String("/Documents/Vellumet"));
    EXPECT_EQ(configFolder(), box.home() + QLatin1String("/.config/Vellumet"));
}

TEST(KnownFolders, RuntimeFolderIsPrivate)
{
    testing_support::Sandbox box;
    const QString run = runtimeFolder();
    EXPECT_EQ(run, box.path() + QLatin1String("/run/vellumet"));
    const QFileInfo info(run);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther), 0);
}

TEST(KnownFolders, ProgramFolderIsTheExecutablesFolder)
{
    EXPECT_EQ(programFolder(), QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
}

TEST(KnownFolders, InstalledProgramsReadShareAndWriteToTheUsersFolders)
{
    testing_support::Sandbox box;
    const QString bin = box.path() + QLatin1String("/usr/bin");
    QDir().mkpath(bin);
    // Not installed (the build tree): everything beside the program.
    EXPECT_TRUE(installedShareFolder(bin).isEmpty());
    EXPECT_EQ(shippedFilesFolder(bin), bin);
    EXPECT_EQ(programDataFolder(bin), bin);

    const QString share = box.path() + QLatin1String("/usr/share/vellumet");
    QDir().mkpath(share);
    EXPECT_EQ(installedShareFolder(bin), share);
    EXPECT_EQ(shippedFilesFolder(bin), share);
    EXPECT_EQ(programDataFolder(bin), box.config() + QLatin1String("/Vellumet"));
    EXPECT_EQ(shippedFilesFolder(bin + QLatin1Char('/')), share);
}
