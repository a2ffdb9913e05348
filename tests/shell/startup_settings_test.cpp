// What start-up leaves on disk and reads back.
#include "base/app_settings.h"
#include "shell/core/restore_settings.h"

#include "platform/private_profile.h"
#include "platform/reg_text_format.h"
#include "platform/registry.h"

#include "sandbox.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace shell;
using namespace base;
using platform::Registry;
using platform::RegStatus;
using testing_support::Sandbox;

namespace {

StartupEnvironment environmentOf(const Sandbox& box, QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates))
{
    return {box.programFolder(), box.documents() + QLatin1String("/Vellumet"), locale};
}

const char* const kFirstStartRegistry =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Vellumet\\Vellumet\\Configation]\n"
    "\"g_szCompessName\"=dword:00000000\n"
    "\"m_zoon_ratio_x\"=\"1.0\"\n"
    "\"m_zoon_ratio_y\"=\"1.0\"\n"
    "\"g_szSaveoption1\"=dword:00000001\n"
    "\"g_szSaveoption2\"=dword:00000001\n"
    "\"g_szBmporjpg\"=dword:00000001\n"
    "\"g_szBmporjpgDPI\"=dword:00000060\n"
    "\"g_szMeasuredecimal\"=dword:00000003\n"
    "\"m_tool_width\"=dword:00000001\n"
    "\"m_tool_font_size\"=dword:00000010\n"
    "\"languagemainid\"=dword:00000000\n"
    "\"languagesubid\"=dword:00000000\n"
    "\"isEnableSnap\"=dword:00000000\n"
    "\"g_szYuy1ormjpeg\"=dword:00000002\n"
    "\"g_szYuy2ormjpeg\"=dword:00000002\n"
    "\"g_szYuy3ormjpeg\"=dword:00000002\n"
    "\"g_szYuy4ormjpeg\"=dword:00000002\n"
    "\"g_szYuy5ormjpeg\"=dword:00000002\n"
    "\"s_tool_active_unit\"=\"mm\"\n"
    "\"crosshair\"=dword:00000000\n";

}  // namespace

TEST(Startup, FirstStartOnAnEmptyHomeCreatesTheFolderTreeAndEveryValue)
{
    Sandbox box;
    Registry registry(box.registryFile());
    const AppSettings s = loadAppSettings(registry, environmentOf(box));

    const QString home = box.documents() + QLatin1String("/Vellumet");
    EXPECT_EQ(s.paths.settingsHome, home);
    EXPECT_EQ(s.paths.saveRoot, home);
    EXPECT_EQ(s.paths.foldersRoot, home + QLatin1String("/SaveFile"));
    EXPECT_EQ(s.paths.currentFolder, home + QLatin1String("/SaveFile/Default"));
    EXPECT_EQ(s.paths.currentPictureFolder(), home + QLatin1String("/SaveFile/Default/Picture"));
    EXPECT_EQ(s.paths.captureSound, box.programFolder() + QLatin1String("/Capture.wav"));
    for (const char* folder : {"/SaveFile/Default/Picture", "/SaveFile/Default/Video", "/Setting/calibration"})
        EXPECT_TRUE(QFileInfo(home + QLatin1String(folder)).isDir()) << folder;
    EXPECT_EQ(s.savedFolderCount, 1);

    EXPECT_EQ(
        testing_support::readFile(home + QLatin1String("/savepath.ini")).toStdString(),
        QStringLiteral("[DefaultSavePath]\nRootDir=%1\nPictureVideoDir=%1/SaveFile\nSelectPictureVideoDir=%1/SaveFile/Default\n"
                       "\n[SavePath]\nSaveFile1=%1/SaveFile/Default\n")
            .arg(home)
            .toStdString());
    EXPECT_EQ(testing_support::readFile(box.registryFile()).toStdString(), kFirstStartRegistry);
    EXPECT_TRUE(s.registry == RegistrySettings());
    EXPECT_TRUE(s.toggles == ImageToggles());
}

TEST(Startup, LaterStartReadsEverythingBack)
{
    Sandbox box;
    Registry registry(box.registryFile());
    AppSettings first = loadAppSettings(registry, environmentOf(box));
    first.registry.m_zoon_ratio_x = 1.5;
    first.registry.g_szBmporjpg = 2;
    first.registry.g_szYuyOrMjpeg = {1, 2, 1, 2, 1};
    first.registry.s_tool_active_unit = QStringLiteral("µm");
    first.registry.languagemainid = 12;
    first.registry.languagesubid = 1;
    ASSERT_TRUE(saveRegistrySettings(registry, first.registry));
    first.toggles.imageColorSelected = 4;
    first.toggles.imagePrefixSelected = QStringLiteral("sample-A");
    ASSERT_TRUE(saveImageToggles(first.paths.imageTogglesIni(), first.toggles));
    QDir().mkpath(first.paths.foldersRoot + QLatin1String("/Wafer 7/Picture"));
    QDir().mkpath(first.paths.foldersRoot + QLatin1String("/Wafer 7/Video"));

    const AppSettings second = loadAppSettings(registry, environmentOf(box));
    EXPECT_TRUE(second.registry == first.registry);
    EXPECT_TRUE(second.toggles == first.toggles);
    EXPECT_EQ(second.paths.currentFolder, first.paths.currentFolder);
    EXPECT_EQ(second.savedFolderCount, 2);
    EXPECT_EQ(second.uiLanguageMainId, 12u);
    EXPECT_EQ(second.paths.languageFile, box.programFolder() + QLatin1String("/French1252.ini"));
}

TEST(Startup, SavePathsElsewhereAreFollowedAndMissingFoldersCreated)
{
    Sandbox box;
    const QString home = box.documents() + QLatin1String("/Vellumet");
    const QString root = box.path() + QLatin1String("/lab share");
    testing_support::writeFile(
        home + QLatin1String("/savepath.ini"),
        QStringLiteral("[DefaultSavePath]\nRootDir=%1\nPictureVideoDir=%1/SaveFile\nSelectPictureVideoDir=%1/SaveFile/Batch 3\n")
            .arg(root)
            .toUtf8());
    Registry registry(box.registryFile());
    const AppSettings s = loadAppSettings(registry, environmentOf(box));
    EXPECT_EQ(s.paths.saveRoot, root);
    EXPECT_EQ(s.paths.currentFolder, root + QLatin1String("/SaveFile/Batch 3"));
    EXPECT_TRUE(QFileInfo(root + QLatin1String("/SaveFile/Batch 3/Picture")).isDir());
    EXPECT_TRUE(QFileInfo(root + QLatin1String("/Setting/calibration")).isDir());
    EXPECT_EQ(s.paths.imageTogglesIni(), root + QLatin1String("/Setting/morpholoyPofile.ini"));
}

TEST(Startup, FolderWithOnlyAPictureFolderIsNotCounted)
{
    Sandbox box;
    const QString root = box.documents() + QLatin1String("/Vellumet/SaveFile");
    QDir().mkpath(root + QLatin1String("/OnlyPictures/Picture"));
    QDir().mkpath(root + QLatin1String("/OnlyVideos/Video"));
    QDir().mkpath(root + QLatin1String("/Complete/Picture"));
    QDir().mkpath(root + QLatin1String("/Complete/Video"));
    testing_support::writeFile(root + QLatin1String("/Loose/Picture"), "a file, not a folder");
    QDir().mkpath(root + QLatin1String("/Loose/Video"));
    Registry registry(box.registryFile());
    EXPECT_EQ(loadAppSettings(registry, environmentOf(box)).savedFolderCount, 2);  // Complete and Default
}

TEST(Startup, SystemLanguageDecidesWhenNoneIsStoredAndIsNotWrittenBack)
{
    Sandbox box;
    Registry registry(box.registryFile());
    const AppSettings s = loadAppSettings(registry, environmentOf(box, QLocale(QLocale::Japanese, QLocale::Japan)));
    EXPECT_EQ(s.uiLanguageMainId, 17u);
    EXPECT_EQ(s.uiLanguageSubId, 0u);
    EXPECT_EQ(s.paths.languageFile, box.programFolder() + QLatin1String("/Japanese932.ini"));
    quint32 stored = 99;
    EXPECT_EQ(registry.queryDword(kConfigKey, QStringLiteral("languagemainid"), stored), RegStatus::Ok);
    EXPECT_EQ(stored, 0u);
}

TEST(Startup, AnInstalledProgramTakesItsLanguageFileAndSoundsFromShare)
{
    Sandbox box;
    const QString bin = box.path() + QLatin1String("/usr/bin");
    const QString share = box.path() + QLatin1String("/usr/share/vellumet");
    QDir().mkpath(bin);
    QDir().mkpath(share);
    Registry registry(box.registryFile());
    const AppSettings s = loadAppSettings(
        registry, {bin, box.documents() + QLatin1String("/Vellumet"), QLocale(QLocale::Japanese, QLocale::Japan)});
    EXPECT_EQ(s.paths.programFolder, bin);
    EXPECT_EQ(s.paths.languageFile, share + QLatin1String("/Japanese932.ini"));
    EXPECT_EQ(s.paths.captureSound, share + QLatin1String("/Capture.wav"));
    EXPECT_EQ(s.paths.stopRecordSound, share + QLatin1String("/stopRecord.wav"));
}

TEST(Startup, RestoreSettingsThenRestartEqualsAFirstStartButKeepsTheFolders)
{
    Sandbox box;
    testing_support::ScriptedDialogs dialogs;
    Registry registry(box.registryFile());
    AppSettings s = loadAppSettings(registry, environmentOf(box));
    const platform::RegistryTree firstStart = registry.snapshot();
    const QByteArray savePathIni = testing_support::readFile(s.paths.savePathIni());

    s.registry.g_szMeasuredecimal = 5;
    s.registry.s_tool_active_unit = QStringLiteral("in");
    saveRegistrySettings(registry, s.registry);
    registry.setBinary(kWorkspaceKey, QStringLiteral("MainFrameState"), "layout");
    registry.setDword(QStringLiteral("SOFTWARE\\Lensio\\Lensio\\Configation"), QStringLiteral("languagemainid"), 17);
    const QString calibration = s.paths.calibrationFolder();
    testing_support::writeFile(calibration + QLatin1String("/10x.txt"), "10x");
    testing_support::writeFile(calibration + QLatin1String("/.hidden.txt"), "h");
    QDir().mkpath(calibration + QLatin1String("/subfolder"));

    restoreSettings(registry, calibration, QStringLiteral("The configuration has been changed,please restart application"));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("The configuration has been changed,please restart application")});
    EXPECT_EQ(QDir(calibration).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(QFileInfo(calibration + QLatin1String("/subfolder")).isDir());  // only files go

    const AppSettings restarted = loadAppSettings(registry, environmentOf(box));
    platform::RegistryTree afterRestart = registry.snapshot();
    // The companion's own key is not ours to reset.
    EXPECT_TRUE(afterRestart.deleteTree(QStringLiteral("SOFTWARE\\Lensio")));
    EXPECT_TRUE(afterRestart == firstStart) << platform::serializeRegText(registry.snapshot()).toStdString();
    EXPECT_TRUE(restarted.registry == RegistrySettings());
    EXPECT_EQ(testing_support::readFile(s.paths.savePathIni()), savePathIni);
    EXPECT_TRUE(QFileInfo(s.paths.currentVideoFolder()).isDir());
}

TEST(Startup, DamagedRegistryFileDoesNotStopStartUpOrLoseTheIniValues)
{
    Sandbox box;
    Registry registry(box.registryFile());
    AppSettings s = loadAppSettings(registry, environmentOf(box));
    s.toggles.sortFolders = 2;
    s.toggles.imagePrefixSelected = QStringLiteral("kept");
    ASSERT_TRUE(saveImageToggles(s.paths.imageTogglesIni(), s.toggles));
    s.registry.g_szBmporjpg = 2;
    ASSERT_TRUE(saveRegistrySettings(registry, s.registry));
    const QByteArray good = testing_support::readFile(box.registryFile());
    testing_support::writeFile(box.registryFile(), good.left(good.size() / 2));

    testing::internal::CaptureStderr();
    const AppSettings again = loadAppSettings(registry, environmentOf(box));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(again.registry == RegistrySettings());
    EXPECT_TRUE(again.toggles == s.toggles);
    EXPECT_EQ(again.paths.currentFolder, s.paths.currentFolder);
    EXPECT_EQ(testing_support::readFile(box.registryFile() + QLatin1String(".bad")), good.left(good.size() / 2));
    EXPECT_EQ(testing_support::readFile(box.registryFile()).toStdString(), kFirstStartRegistry);
}

TEST(Startup, SavePathIniCutShortIsRepairedWithoutLosingTheRegistry)
{
    Sandbox box;
    Registry registry(box.registryFile());
    AppSettings s = loadAppSettings(registry, environmentOf(box));
    s.registry.m_tool_font_size = 24;
    ASSERT_TRUE(saveRegistrySettings(registry, s.registry));
    const QByteArray full = testing_support::readFile(s.paths.savePathIni());
    const QByteArray cut = full.left(full.indexOf("PictureVideoDir") + 9);  // "...\nPictureV"
    testing_support::writeFile(s.paths.savePathIni(), cut);

    const AppSettings again = loadAppSettings(registry, environmentOf(box));
    EXPECT_EQ(again.registry.m_tool_font_size, 24u);
    EXPECT_EQ(again.paths.foldersRoot, s.paths.foldersRoot);
    EXPECT_EQ(again.paths.currentFolder, s.paths.currentFolder);
    const QString ini = s.paths.savePathIni();
    EXPECT_EQ(platform::readProfileString(ini, QStringLiteral("DefaultSavePath"), QStringLiteral("SelectPictureVideoDir")),
              s.paths.currentFolder);
    EXPECT_EQ(platform::readProfileString(ini, QStringLiteral("DefaultSavePath"), QStringLiteral("RootDir")), s.paths.saveRoot);
}

TEST(Startup, GarbageImageTogglesReadAsZeroAndStartUpGoesOn)
{
    Sandbox box;
    Registry registry(box.registryFile());
    AppSettings s = loadAppSettings(registry, environmentOf(box));
    testing_support::writeFile(s.paths.imageTogglesIni(), QByteArray("\x00\xff\xfe garbage [Sec", 17));
    const AppSettings again = loadAppSettings(registry, environmentOf(box));
    EXPECT_TRUE(again.toggles == ImageToggles());
    EXPECT_TRUE(again.registry == s.registry);
}
