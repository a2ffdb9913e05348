#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QStringView>

class CxFile;

namespace files {

// How the browser reads a file, by its name: the last three characters "bmp"
// (any case) a BMP picture; "jpg", or "jpeg" as the last four, a JPEG.
enum class PictureKind { None, Bmp, Jpeg };
PictureKind pictureKindOf(QStringView name);

// Pictures larger than this are not decoded for a thumbnail: a header may
// claim any size, and the picture window opens nothing larger either.
constexpr qint64 kMaxThumbnailSourcePixels = 89'478'485;  // 256 MiB of 24-bit pixels

struct DecodedPicture {
    QImage image;         // at least `side` pixels on its long side when the picture has them; null on failure
    QSize fullSize;       // the picture's own size
    bool cut = false;     // the data ended early; the missing part is grey
    bool flawed = false;  // the decoder worked around damaged data (or the data ended early)
};

// Decodes a picture file's bytes at no more than the size a thumbnail of
// `side` pixels needs: a JPEG by libjpeg's scaled decode (1/8 of a full-HD
// frame for a 128-pixel side), a BMP through the picture codec. The kind
// named by the file is tried first, then the other, as the picture window
// opens it.
DecodedPicture decodeForThumbnail(const QByteArray& bytes, PictureKind kind, int side);

// A BMP read from `file` row by row, only the rows a thumbnail of `side`
// pixels needs (see sampleBmp). `wholeNeeded` is set, and nothing is
// returned, for a run-length file, which can only be decoded whole; `error`
// says why one could not be read.
DecodedPicture sampleBmpForThumbnail(CxFile& file, int side, bool* wholeNeeded, QString* error = nullptr);

}  // namespace files
