#pragma once

#include "folder_info.h"

#include "base/app_paths.h"

#include <QList>
#include <QString>

namespace files {

// What a folder operation came to; every outcome but Done has a message.
enum class FolderOutcome {
    Done,
    EmptyField,  // location or name empty
    Exists,      // the folder is there already
    BadName,     // a name holding "/" or naming "." or ".."
    InUse,       // the current folder cannot be deleted
    NothingChosen,
    NoTrash,       // no trash takes the folder; the caller may ask to delete it for good
    DeleteFailed,  // a folder could not be deleted; it is off the list all the same
    NotWritten,    // a folder could not be made or the list not written
};

// The text the user is shown for an outcome, from the language file.
QString outcomeText(FolderOutcome outcome);
// Told after Load Folders: the program must be restarted.
QString restartText();

// The saved-files folders: their list in savepath.ini, the current folder
// and the changes the folder commands make. Works on the paths and the
// folder count the whole program reads, and writes savepath.ini at once,
// each time in one atomic replace.
class SavedFolders {
public:
    SavedFolders(base::AppPaths& paths, int& folderCount);

    // The listed folders that exist, each once, in list order.
    QList<FolderInfo> list(FolderDetail detail) const;
    // Where the current folder is in `folders`; 0 when it is not there.
    int currentIndex(const QList<FolderInfo>& folders) const;

    // Makes `location` the current folder (creating its Picture and Video
    // folders when missing); false when it is the current one already or
    // does not exist.
    bool choose(const QString& location);

    // Makes "<location>/SaveFile/<name>" with Picture, Video and note.txt and
    // makes it current, putting it first in the list.
    FolderOutcome create(const QString& location, const QString& name, const QString& note);
    // True when `location` already holds saved-files folders.
    static bool holdsFolders(const QString& location);

    // Moves a listed folder to the trash and takes it off the list; a listed
    // folder that no longer exists is only taken off the list.
    FolderOutcome trash(const QString& location);
    // After the user agreed to lose a folder no trash takes: deletes it and
    // takes it off the list (even when the delete failed, reported as DeleteFailed).
    FolderOutcome deleteForGood(const QString& location);

    // Starts over from the settings home: SaveFile/Default current, and the
    // list rebuilt from the folders found under SaveFile.
    FolderOutcome loadFolders();

private:
    bool isCurrent(const QString& location) const;
    FolderOutcome forget(const QString& location);

    base::AppPaths& m_paths;
    int& m_folderCount;
};

}  // namespace files
