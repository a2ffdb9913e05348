#pragma once

#include <QString>

namespace files {

// Deleting moves files and folders to the desktop's trash, where the user can
// get them back.
enum class TrashResult {
    Trashed,  // in the trash now
    Missing,  // nothing at that path
    NoTrash,  // no trash takes it (none exists or none can be made on that disk); untouched
};

// Moves one file or a whole folder to the trash.
TrashResult moveToTrash(const QString& path);

// The clip a picture stands for in the browser: "<clip>.avi" for
// "<clip>.avi.bmp" or "<clip>.avi.jpg" (any case); empty for other pictures.
QString clipOfPicture(const QString& picturePath);

// Moves a shown picture to the trash together with its clip, when it stands
// for one, and its metadata sidecar. The clip goes first, so a trash that
// refuses leaves both in place.
// A clip already gone does not keep its picture.
TrashResult moveShownFileToTrash(const QString& picturePath);

// Deletes for good, a file or a folder with all it holds: only for when no
// trash exists and the user has agreed. Symbolic links are removed, never
// followed.
bool deleteForGood(const QString& path);

}  // namespace files
