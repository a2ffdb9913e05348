#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

namespace capture {

// "<folder>/<prefix>20240105103000.bmp": the prefix (may be empty), the local
// time to the second and ".bmp" or ".jpg". A separator in the prefix would
// put the picture into another folder, so it becomes "_".
QString snapshotPath(const QString& folder, const QString& prefix, const QDateTime& localTime, bool bmp);

// A clip's thumbnail sits beside it: "<clip>.bmp".
QString clipThumbnailPath(const QString& clipPath);

// How much smaller than the frame a picture is saved: the picture-size
// option 1 (full size), 2 (half), 3 (a third), anything else the view's zoom.
struct SaveScale {
    double x = 1.0;
    double y = 1.0;
};
SaveScale saveScaleFor(quint32 sizeOption, double zoomX, double zoomY);

// Writes `picture` as BMP or as JPEG of quality 90, with `dpi` in both
// directions, through a temporary file renamed over `path`. An empty answer
// is success; otherwise the reason it failed.
QString writePicture(const QImage& picture, const QString& path, bool bmp, int dpi);

}  // namespace capture
