#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

namespace files {

// Where a picture of `fullSize` lies in an embedded thumbnail of
// `thumbnailSize`: the whole thumbnail when their shapes agree to a pixel,
// else centred, as large as fits (cameras put a wide picture into a 4:3
// thumbnail between bars).
QRect pictureWithinThumbnail(QSize thumbnailSize, QSize fullSize);

// The picture a JPEG's Exif thumbnail shows (`thumbnailJpeg`, see
// picture::readJpegHead), ready to stand for the picture of `fullSize` in the
// tile: cut free of its bars. Null when it cannot stand for it: it is
// damaged, smaller than the picture's place in the tile, or of another shape
// than the picture without even bars around it (squeezed or cropped).
QImage embeddedThumbnail(const QByteArray& thumbnailJpeg, QSize fullSize);

}  // namespace files
