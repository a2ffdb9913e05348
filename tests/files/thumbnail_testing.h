#pragma once

#include <QImage>
#include <QString>

namespace thumbnail_testing {

// A picture with texture and grain, as a microscope takes them.
QImage texturedPicture(int width, int height, int seed = 1);
// Writes it as JPEG or BMP (by the extension) and sets its time back, so
// the thumbnail cache takes what is made of it. False on failure.
bool writePicture(const QString& path, int width, int height, int seed = 1);
// Sets a file's modification time `seconds` into the past.
void ageFile(const QString& path, int seconds = 60);

}  // namespace thumbnail_testing
