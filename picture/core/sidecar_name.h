#pragma once

#include <QString>

namespace picture {

// Where a picture's metadata sidecar lies: "<picture>.vcal". Header-only, so
// code that only moves files along (the trash) needs no picture library.
inline QString sidecarPath(const QString& picturePath)
{
    return picturePath + QLatin1String(".vcal");
}

}  // namespace picture
