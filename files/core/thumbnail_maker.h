#pragma once

#include "thumbnail_cache.h"

#include <QImage>
#include <QString>

namespace files {

// How one thumbnail came about.
enum class ThumbnailOutcome {
    Made,       // decoded from the file (and stored in the cache)
    Embedded,   // the thumbnail the picture carries (not cached: it reads as quickly as the cache)
    FromCache,  // read from the shared cache
    NoPicture,  // the file is not a picture that can be read; no thumbnail
    Gone,       // nothing to read at that path (deleted, a loop of links, no permission)
    NotAFile,   // a folder, a pipe or a device carrying a picture's name
};

struct Thumbnail {
    QImage fitted;  // in its place in the 60 x 60 tile (see fitThumbnail); null when none
    ThumbnailOutcome outcome = ThumbnailOutcome::NoPicture;
};

// Files larger than this are not read for a thumbnail.
constexpr qint64 kMaxThumbnailFileBytes = 300LL * 1024 * 1024;

// Makes the thumbnail of one picture file: from the shared cache when it
// holds one for the file as it is, else from the Exif thumbnail a JPEG
// carries when it is large enough, else by decoding the file (a JPEG at a
// scale, a BMP only the rows needed), storing the result in the cache. Only
// a regular file is opened, and without waiting, so a pipe named like a
// picture never blocks. Safe to call from several threads at once.
class ThumbnailMaker {
public:
    // `cache` may be null: then nothing is read from or written to a cache.
    explicit ThumbnailMaker(const ThumbnailCache* cache) : m_cache(cache) {}

    Thumbnail make(const QString& path) const;

private:
    const ThumbnailCache* m_cache;
};

}  // namespace files
