#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace files {

// One saved-files folder as the folder list and the Folder Manager show it.
struct FolderInfo {
    QString name;      // last component of the location
    QString created;   // creation time, sortable or shown form
    QString note;      // note.txt, lines joined
    QString pictures;  // "count/size MB" of the Picture folder's pictures
    QString videos;    // the same for the Video folder's clips
    QString location;  // full path, used for every operation
};

// The pane needs name, sortable time and location; the Folder Manager all
// fields with the time in its shown form.
enum class FolderDetail { Pane, Manager };

FolderInfo describeFolder(const QString& location, FolderDetail detail);

struct FileTally {
    int count = 0;
    qint64 bytes = 0;
};

// Regular files directly in `folder` whose extension (after the last dot) is
// one of `extensions`, in any case.
FileTally tallyFiles(const QString& folder, const QStringList& extensions);
const QStringList& pictureExtensions();  // bmp, jpg
const QStringList& clipExtensions();     // avi

QString megabytesText(qint64 bytes);           // "12.34MB"
QString tallyText(const FileTally& tally);     // "3/12.34MB"
QString sortableTimeText(const QDateTime& t);  // "20240105093007"
QString shownTimeText(const QDateTime& t);     // "2024/1/5 9:30:7"

// When the folder was made, in local time. Where the file system keeps no
// birth time, the last change of the folder stands for it; invalid when the
// folder cannot be read.
QDateTime folderCreationTime(const QString& folder);

// The Folder Property dialog's fields for one folder.
struct FolderProperties {
    QString name;
    QString location;
    QString size;    // pictures only
    QString number;  // pictures only
    QString created;
    QString note;
};
FolderProperties folderProperties(const QString& folder);

}  // namespace files
