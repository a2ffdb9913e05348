#pragma once

#include <QString>
#include <QStringList>

namespace files {

// Copies a file to `target` by way of a temporary file beside it, so the
// target is either what it was or the whole copy. Copying a file onto
// itself does nothing and fails.
bool copyFileReplacing(const QString& source, const QString& target);

// Saves a copy of a picture as `target`, in the format its extension names
// (bmp or jpg), at the size option (1 full, 2 half, 3 a third) and DPI of
// the export options, with the source's metadata (its scale made to fit the
// copy's size): inside a JPEG, as the sidecar of a BMP. A copy needing no
// change is the file itself, byte for byte. The reason on failure, else empty.
QString savePictureCopy(const QString& source, const QString& target, int sizeOption, int dpi);

// Copies each file into `folder` under its own name; a file of that name
// already there is kept. The names not copied.
QStringList copyInto(const QStringList& sources, const QString& folder);

}  // namespace files
