#include "files/core/save_path_list.h"
#include "files/core/saved_folders.h"

#include "base/save_path_ini.h"
#include "platform/ini_document.h"
#include "platform/private_profile.h"
#include "sandbox.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace files;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

struct Fixture {
    testing_support::Sandbox box;
    base::AppPaths paths;
    int count = 0;

    Fixture()
    {
        paths.settingsHome = box.path() + QLatin1String("/home/.config/Vellumet");
        base::loadOrCreateSavePaths(paths);
        base::ensureCurrentFolderTree(paths);
        count = 1;
    }
    QString ini() const { return paths.savePathIni(); }
    QString value(const char* section, const char* key) const
    {
        return platform::readProfileString(ini(), QString::fromLatin1(section), QString::fromLatin1(key));
    }
    QStringList listed() const { return readSavePathList(readSavePathIni(ini()), -1); }
};

QStringList namesOf(const QList<FolderInfo>& folders)
{
    QStringList out;
    for (const FolderInfo& f : folders)
        out.append(f.name);
    return out;
}

}  // namespace

TEST(SavePathList, ReadsInNumberOrderSkippingGapsAndEmptiesUpToTheCount)
{
    const platform::IniDocument ini(
        QStringLiteral("[SavePath]\nSaveFile10=/j\nSaveFile2=/b\nSaveFile1=/a\n"
                       "SaveFile3=\nSaveFile5=/e\nOther=/x\n"));
    EXPECT_EQ(readSavePathList(ini, -1), (QStringList{"/a", "/b", "/e", "/j"}));
    EXPECT_EQ(readSavePathList(ini, 2), (QStringList{"/a", "/b"}));
    EXPECT_TRUE(readSavePathList(platform::IniDocument(), 5).isEmpty());
}

TEST(SavePathList, RemovingLeavesAGapAndOtherEntries)
{
    platform::IniDocument ini(QStringLiteral("[SavePath]\nSaveFile1=/a\nSaveFile2=/b/\nSaveFile3=/B\n"));
    EXPECT_TRUE(removeFromSavePathList(ini, QStringLiteral("/b")));
    EXPECT_EQ(readSavePathList(ini, -1), (QStringList{"/a", "/B"}));  // another folder on Linux
    EXPECT_FALSE(ini.value(QStringLiteral("SavePath"), QStringLiteral("SaveFile2")).has_value());
    EXPECT_FALSE(removeFromSavePathList(ini, QStringLiteral("/none")));
}

TEST(SavedFolders, CreateMakesTheTreeTheNoteAndPutsItFirst)
{
    Fixture f;
    const QString other = f.paths.foldersRoot + QLatin1String("/Older");
    ASSERT_TRUE(QDir().mkpath(other + QLatin1String("/Picture")));
    ASSERT_TRUE(QDir().mkpath(other + QLatin1String("/Video")));
    ASSERT_TRUE(QDir().mkpath(f.paths.foldersRoot + QLatin1String("/NoVideo/Picture")));
    SavedFolders folders(f.paths, f.count);

    EXPECT_EQ(folders.create(f.paths.saveRoot + QLatin1Char('/'), QStringLiteral("Cells"), QStringLiteral("stain B")),
              FolderOutcome::Done);
    const QString made = f.paths.foldersRoot + QLatin1String("/Cells");
    EXPECT_TRUE(QFileInfo(made + QLatin1String("/Picture")).isDir());
    EXPECT_TRUE(QFileInfo(made + QLatin1String("/Video")).isDir());
    EXPECT_EQ(readFile(made + QLatin1String("/note.txt")), QByteArray("stain B"));
    EXPECT_EQ(f.paths.currentFolder, made);
    EXPECT_EQ(f.count, 2);
    EXPECT_EQ(f.value("DefaultSavePath", "SelectPictureVideoDir"), made);
    const QStringList listed = f.listed();
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.first(), made);
    EXPECT_TRUE(listed.contains(other));
    EXPECT_FALSE(listed.contains(f.paths.foldersRoot + QLatin1String("/NoVideo")));
}

TEST(SavedFolders, CreateChecksEmptyExistingAndBadNames)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    const QByteArray before = readFile(f.ini());
    EXPECT_EQ(folders.create(QString(), QStringLiteral("x"), QString()), FolderOutcome::EmptyField);
    EXPECT_EQ(folders.create(f.paths.saveRoot, QStringLiteral(" "), QString()), FolderOutcome::EmptyField);
    EXPECT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("Default"), QString()), FolderOutcome::Exists);
    EXPECT_EQ(folders.create(f.paths.saveRoot, QStringLiteral(".."), QString()), FolderOutcome::BadName);
    EXPECT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("a/b"), QString()), FolderOutcome::BadName);
    EXPECT_EQ(readFile(f.ini()), before);
    EXPECT_EQ(f.count, 1);
    EXPECT_FALSE(QFileInfo::exists(f.paths.foldersRoot + QLatin1String("/a")));
    EXPECT_EQ(outcomeText(FolderOutcome::EmptyField), QStringLiteral("Can not empty"));
    EXPECT_EQ(outcomeText(FolderOutcome::Exists), QStringLiteral("The Folder exist."));
    EXPECT_EQ(outcomeText(FolderOutcome::InUse), QStringLiteral("the folder can't delete because it is in using"));
    EXPECT_TRUE(SavedFolders::holdsFolders(f.paths.saveRoot));
    EXPECT_FALSE(SavedFolders::holdsFolders(f.paths.foldersRoot));
}

TEST(SavedFolders, CreateTakesTheFolderBackWhenTheListCannotBeWritten)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    const base::AppPaths before = f.paths;
    // A folder in the list file's place: the list cannot be written, as on a full disk.
    ASSERT_TRUE(QFile::remove(f.ini()));
    ASSERT_TRUE(QDir().mkpath(f.ini()));

    EXPECT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("Onion cells"), QStringLiteral("stain B")),
              FolderOutcome::NotWritten);
    EXPECT_FALSE(QFileInfo::exists(f.paths.foldersRoot + QLatin1String("/Onion cells")));
    EXPECT_TRUE(QFileInfo(f.paths.foldersRoot + QLatin1String("/Default/Picture")).isDir());

    const QString elsewhere = f.box.path() + QLatin1String("/elsewhere");
    EXPECT_EQ(folders.create(elsewhere, QStringLiteral("Far"), QString()), FolderOutcome::NotWritten);
    EXPECT_FALSE(QFileInfo::exists(elsewhere + QLatin1String("/SaveFile")));

    EXPECT_EQ(f.count, 1);
    EXPECT_EQ(f.paths.currentFolder, before.currentFolder);
    EXPECT_EQ(f.paths.saveRoot, before.saveRoot);
    EXPECT_EQ(f.paths.foldersRoot, before.foldersRoot);
}

TEST(SavedFolders, ListSkipsFoldersThatAreGoneAndTwiceListed)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    ASSERT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("img10"), QString()), FolderOutcome::Done);
    ASSERT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("img9"), QString()), FolderOutcome::Done);
    platform::writeProfileString(f.ini(), QStringLiteral("SavePath"), QStringLiteral("SaveFile7"), QStringLiteral("/gone/x"));
    platform::writeProfileString(f.ini(), QStringLiteral("SavePath"), QStringLiteral("SaveFile8"),
                                 f.paths.foldersRoot + QLatin1String("/img9/"));
    f.count = 5;
    const QList<FolderInfo> list = folders.list(FolderDetail::Pane);
    EXPECT_EQ(namesOf(list), (QStringList{"img9", "Default", "img10"}));
    EXPECT_EQ(folders.currentIndex(list), 0);
}

TEST(SavedFolders, ChooseMakesItCurrentAndStoresIt)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    ASSERT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("B"), QString()), FolderOutcome::Done);
    const QString a = f.paths.foldersRoot + QLatin1String("/Default");
    ASSERT_TRUE(QDir(a + QLatin1String("/Video")).removeRecursively());
    EXPECT_TRUE(folders.choose(a));
    EXPECT_EQ(f.paths.currentFolder, a);
    EXPECT_TRUE(QFileInfo(a + QLatin1String("/Video")).isDir());
    EXPECT_EQ(f.value("DefaultSavePath", "SelectPictureVideoDir"), a);
    EXPECT_EQ(f.value("DefaultSavePath", "PictureVideoDir"), f.paths.foldersRoot);
    EXPECT_FALSE(folders.choose(a));
    EXPECT_FALSE(folders.choose(f.paths.foldersRoot + QLatin1String("/missing")));
    EXPECT_EQ(f.paths.currentFolder, a);
}

TEST(SavedFolders, DeletingTheFolderInUseIsRefused)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    const QByteArray before = readFile(f.ini());
    EXPECT_EQ(folders.trash(f.paths.currentFolder + QLatin1Char('/')), FolderOutcome::InUse);
    EXPECT_EQ(folders.trash(QString()), FolderOutcome::NothingChosen);
    EXPECT_TRUE(QFileInfo(f.paths.currentFolder).isDir());
    EXPECT_EQ(readFile(f.ini()), before);
    EXPECT_EQ(f.count, 1);
}

TEST(SavedFolders, DeleteMovesTheFolderToTheTrashAndOffTheList)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    ASSERT_EQ(folders.create(f.paths.saveRoot, QStringLiteral("Old"), QStringLiteral("n")), FolderOutcome::Done);
    const QString old = f.paths.currentFolder;
    ASSERT_TRUE(folders.choose(f.paths.foldersRoot + QLatin1String("/Default")));
    ASSERT_EQ(f.count, 2);

    EXPECT_EQ(folders.trash(old), FolderOutcome::Done);
    EXPECT_FALSE(QFileInfo::exists(old));
    const QString trash = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QLatin1String("/Trash");
    EXPECT_TRUE(QFileInfo(trash + QLatin1String("/files/Old/note.txt")).isFile());
    EXPECT_TRUE(QFileInfo(trash + QLatin1String("/info/Old.trashinfo")).isFile());
    EXPECT_FALSE(f.listed().contains(old));
    EXPECT_EQ(f.count, 1);
}

TEST(SavedFolders, AListedFolderThatIsGoneIsOnlyTakenOffTheList)
{
    Fixture f;
    SavedFolders folders(f.paths, f.count);
    platform::writeProfileString(f.ini(), QStringLiteral("SavePath"), QStringLiteral("SaveFile2"), QStringLiteral("/gone/x"));
    f.count = 2;
    EXPECT_EQ(folders.trash(QStringLiteral("/gone/x")), FolderOutcome::Done);
    EXPECT_EQ(f.listed(), QStringList{f.paths.currentFolder});
    EXPECT_EQ(f.count, 1);
}

TEST(SavedFolders, LoadFoldersStartsOverFromTheSettingsHome)
{
    Fixture f;
    const QString home = f.paths.settingsHome;
    const QString elsewhere = f.box.path() + QLatin1String("/elsewhere");
    SavedFolders folders(f.paths, f.count);
    ASSERT_EQ(folders.create(home, QStringLiteral("Kept"), QString()), FolderOutcome::Done);
    ASSERT_EQ(folders.create(elsewhere, QStringLiteral("Far"), QString()), FolderOutcome::Done);
    ASSERT_TRUE(QDir().mkpath(home + QLatin1String("/SaveFile/HalfMade/Picture")));
    writeFile(f.ini(), "[SavePath]\nSaveFile1=/broken/pa");  // a file cut short

    EXPECT_EQ(folders.loadFolders(), FolderOutcome::Done);
    EXPECT_EQ(f.paths.saveRoot, home);
    EXPECT_EQ(f.paths.currentFolder, home + QLatin1String("/SaveFile/Default"));
    EXPECT_EQ(f.value("DefaultSavePath", "RootDir"), home);
    EXPECT_EQ(f.listed(), (QStringList{home + QLatin1String("/SaveFile/Default"), home + QLatin1String("/SaveFile/Kept")}));
    EXPECT_EQ(f.count, 2);
    EXPECT_EQ(restartText(), QStringLiteral("The configuration has been changed,please restart application"));
}
