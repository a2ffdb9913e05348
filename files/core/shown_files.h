#pragma once

#include <QList>
#include <QString>

namespace files {

// A picture as the browser lists it: its name lower-cased for showing, while
// the real path (on Linux PIC.JPG and pic.jpg are two files) opens, saves,
// prints and deletes it.
struct ShownFile {
    QString shown;         // lower-cased file name
    QString path;          // the real path
    QString clip;          // the clip it stands for, or empty
    qint64 modified = -1;  // when the file was last written, ms since the epoch (-1: not known)
};

// The BMP and JPEG files (extension bmp or jpg, any case) directly in
// `folder`: regular files only, so a folder or a pipe named like a picture
// is left out and listing never opens a file. In natural order of the shown
// names.
QList<ShownFile> listShownFiles(const QString& folder);

// One saved file as the browser adds it; `path` is empty when the browser
// does not show that file.
ShownFile shownFileFor(const QString& path);

}  // namespace files
