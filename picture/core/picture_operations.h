#pragma once

#include "cx_image.h"

#include <QString>

#include <atomic>

namespace picture {

// The picture commands' operations on a whole picture.
enum PictureOperation : int {
    OpFlipVertical = 1209,
    OpMirror = 1210,
    OpRedChannel = 1211,
    OpGreenChannel = 1212,
    OpBlueChannel = 1213,
    OpNegative = 1265,
};

// Runs `operation` on `image` in place. Progress goes from 0 to 100 on the
// image and, when given, in `progress` (for another thread to read while it
// runs); the image's escape flag or `stop` stops it between rows. Pictures
// with a palette change their palette, so every depth gives the same
// colours. False for an unknown operation, an empty picture, or when stopped.
bool applyPictureOperation(CxImage& image, int operation, std::atomic<int>* progress = nullptr,
                           const std::atomic<bool>* stop = nullptr);

// The format a picture's name asks for: "bmp", "jpg" or "jpeg" in any case;
// CXIMAGE_FORMAT_UNKNOWN for any other.
uint32_t formatOfPath(const QString& path);

// The name Save As proposes: the document's title, or "UntitledImage" when
// the title holds a character a file name cannot ("#%;/\").
QString saveAsName(const QString& title);

}  // namespace picture
