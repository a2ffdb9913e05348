#pragma once

#include "measure/core/picture_options.h"

#include <QString>

namespace capture {

// A still picture a live window asks its camera for: what it is for, how it
// is made and where it goes. It travels to the capture thread and back with
// the frame that answers it, so nothing has to remember it in between.
struct StillRequest {
    enum Purpose {
        Snapshot = 1,         // a picture in the Picture folder
        ClipThumbnail = 2,    // the first frame of a clip, "<clip>.bmp"
        WorkbookPicture = 3,  // the picture below the workbook's rows
    };
    Purpose purpose = Snapshot;
    measure::PictureOptions options;
    // Where it is saved: BMP, or JPEG for ".jpg". A snapshot's path is the
    // name it would like; a file of that name is never replaced.
    QString path;
};

}  // namespace capture
