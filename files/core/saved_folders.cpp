#include "saved_folders.h"

#include "save_path_list.h"
#include "trash.h"

#include "base/save_path_ini.h"
#include "base/saved_folder_count.h"
#include "base/text_lookup.h"
#include "platform/ini_document.h"
#include "platform/text_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace files {

namespace {

const QString kFoldersRootName = QStringLiteral("SaveFile");
const QString kDefaultFolderName = QStringLiteral("Default");

QString cleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool isBadName(const QString& name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QChar()) || name == QLatin1String(".") || name == QLatin1String("..");
}

bool makeFolderTree(const QString& folder)
{
    return QDir().mkpath(folder + QLatin1String("/Picture")) && QDir().mkpath(folder + QLatin1String("/Video"));
}

// Takes back what New Folder made, and only that: a folder something else
// was put into meanwhile stays.
void removeNewFolderTree(const QString& folder)
{
    QFile::remove(folder + QLatin1String("/note.txt"));
    QDir().rmdir(folder + QLatin1String("/Picture"));
    QDir().rmdir(folder + QLatin1String("/Video"));
    QDir().rmdir(folder);
}

}  // namespace

QString outcomeText(FolderOutcome outcome)
{
    switch (outcome) {
    case FolderOutcome::Done: return QString();
    case FolderOutcome::EmptyField: return base::uiText("NotNull", "Can not empty");
    case FolderOutcome::Exists: return base::uiText("FolderExist", "The Folder exist.");
    case FolderOutcome::BadName:
        return base::uiText("FolderNameInvalid", "A folder name can not hold \"/\" or be \".\" or \"..\".");
    case FolderOutcome::InUse: return base::uiText("DeleteFolder", "the folder can't delete because it is in using");
    case FolderOutcome::NothingChosen: return base::uiText("ChooseFolder", "Please choose a folder first.");
    case FolderOutcome::NoTrash: return base::uiText("NoTrash", "There is no trash for this folder. Delete it for good?");
    case FolderOutcome::DeleteFailed: return QStringLiteral("Data Delete failed");
    case FolderOutcome::NotWritten:
        return base::uiText("FolderNotWritten", "The folder or the folder list could not be written.");
    }
    return QString();
}

QString restartText()
{
    return base::uiText("Reboot", "The configuration has been changed,please restart application");
}

SavedFolders::SavedFolders(base::AppPaths& paths, int& folderCount) : m_paths(paths), m_folderCount(folderCount) {}

QList<FolderInfo> SavedFolders::list(FolderDetail detail) const
{
    const platform::IniDocument ini = readSavePathIni(m_paths.savePathIni());
    QList<FolderInfo> folders;
    QSet<QString> seen;
    for (const QString& entry : readSavePathList(ini, m_folderCount)) {
        const QString location = QDir::cleanPath(entry);
        if (seen.contains(location) || !QFileInfo(location).isDir())
            continue;
        seen.insert(location);
        folders.append(describeFolder(location, detail));
    }
    return folders;
}

int SavedFolders::currentIndex(const QList<FolderInfo>& folders) const
{
    for (qsizetype i = 0; i < folders.size(); ++i) {
        if (isCurrent(folders[i].location))
            return static_cast<int>(i);
    }
    return 0;
}

bool SavedFolders::isCurrent(const QString& location) const
{
    return cleanAbsolute(location) == cleanAbsolute(m_paths.currentFolder);
}

bool SavedFolders::choose(const QString& location)
{
    if (location.isEmpty() || isCurrent(location) || !QFileInfo(location).isDir())
        return false;
    m_paths.currentFolder = cleanAbsolute(location);
    m_paths.foldersRoot = QFileInfo(m_paths.currentFolder).path();
    m_paths.saveRoot = QFileInfo(m_paths.foldersRoot).path();
    base::ensureCurrentFolderTree(m_paths);
    base::storeSavePaths(m_paths);
    return true;
}

bool SavedFolders::holdsFolders(const QString& location)
{
    return QFileInfo(location + QLatin1Char('/') + kFoldersRootName).isDir();
}

FolderOutcome SavedFolders::create(const QString& location, const QString& name, const QString& note)
{
    if (location.trimmed().isEmpty() || name.trimmed().isEmpty())
        return FolderOutcome::EmptyField;
    if (isBadName(name))
        return FolderOutcome::BadName;
    const QString root = cleanAbsolute(location);
    const QString foldersRoot = root + QLatin1Char('/') + kFoldersRootName;
    const QString folder = foldersRoot + QLatin1Char('/') + name;
    if (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink())
        return FolderOutcome::Exists;
    const bool hadFoldersRoot = QFileInfo(foldersRoot).isDir();
    const auto takeBack = [&] {
        removeNewFolderTree(folder);
        if (!hadFoldersRoot)
            QDir().rmdir(foldersRoot);
        return FolderOutcome::NotWritten;
    };
    if (!makeFolderTree(folder) || !platform::writeWholeText(folder + QLatin1String("/note.txt"), note))
        return takeBack();

    const base::AppPaths before = m_paths;
    m_paths.saveRoot = root;
    m_paths.foldersRoot = foldersRoot;
    m_paths.currentFolder = folder;

    QStringList listed{folder};
    for (const QString& other : base::savedFileFolders(foldersRoot)) {
        if (QDir::cleanPath(other) != folder)
            listed.append(QDir::cleanPath(other));
    }
    platform::IniDocument ini = readSavePathIni(m_paths.savePathIni());
    base::setSavePaths(ini, m_paths);
    setSavePathList(ini, listed);
    // A folder the list does not name would be lost to the program: without
    // the list (a full disk), the folder goes too.
    if (!writeSavePathIni(m_paths.savePathIni(), ini)) {
        m_paths = before;
        return takeBack();
    }
    ++m_folderCount;
    return FolderOutcome::Done;
}

FolderOutcome SavedFolders::trash(const QString& location)
{
    if (location.isEmpty())
        return FolderOutcome::NothingChosen;
    if (isCurrent(location))
        return FolderOutcome::InUse;
    if (moveToTrash(location) == TrashResult::NoTrash)
        return FolderOutcome::NoTrash;
    return forget(location);
}

FolderOutcome SavedFolders::deleteForGood(const QString& location)
{
    if (location.isEmpty())
        return FolderOutcome::NothingChosen;
    if (isCurrent(location))
        return FolderOutcome::InUse;
    const bool deleted = !QFileInfo::exists(location) || files::deleteForGood(location);
    const FolderOutcome listed = forget(location);
    return deleted ? listed : FolderOutcome::DeleteFailed;
}

FolderOutcome SavedFolders::forget(const QString& location)
{
    platform::IniDocument ini = readSavePathIni(m_paths.savePathIni());
    if (!removeFromSavePathList(ini, location))
        return FolderOutcome::Done;
    if (m_folderCount > 0)
        --m_folderCount;
    return writeSavePathIni(m_paths.savePathIni(), ini) ? FolderOutcome::Done : FolderOutcome::NotWritten;
}

FolderOutcome SavedFolders::loadFolders()
{
    m_paths.saveRoot = m_paths.settingsHome;
    m_paths.foldersRoot = m_paths.saveRoot + QLatin1Char('/') + kFoldersRootName;
    m_paths.currentFolder = m_paths.foldersRoot + QLatin1Char('/') + kDefaultFolderName;

    QStringList listed{m_paths.currentFolder};
    for (const QString& other : base::savedFileFolders(m_paths.foldersRoot)) {
        if (QFileInfo(other).fileName() != kDefaultFolderName)
            listed.append(QDir::cleanPath(other));
    }
    platform::IniDocument ini = readSavePathIni(m_paths.savePathIni());
    base::setSavePaths(ini, m_paths);
    setSavePathList(ini, listed);
    m_folderCount = static_cast<int>(listed.size());
    return writeSavePathIni(m_paths.savePathIni(), ini) ? FolderOutcome::Done : FolderOutcome::NotWritten;
}

}  // namespace files
