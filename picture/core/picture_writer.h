#pragma once

#include "cx_image.h"
#include "picture_metadata.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace picture {

// The file of `image` in `format` (BMP or JPEG) with `metadata` inside a
// JPEG (a BMP has no place for it). The reason on failure, else empty.
QString encodePicture(const CxImage& image, uint32_t format, const std::optional<PictureMetadata>& metadata, QByteArray& bytes);

// Writes the picture over `path` at once (a reader sees the old file or the
// new one), and a BMP's sidecar after it; a BMP without metadata loses the
// sidecar an earlier picture of that name left. The reason on failure.
QString writePictureFile(const CxImage& image, const QString& path, uint32_t format,
                         const std::optional<PictureMetadata>& metadata);

// The same as a new file that replaces none: the first free name of
// name(0), name(1), ... at the moment it is written, answered in `saved`.
QString writeNewPictureFile(const CxImage& image, const std::function<QString(int)>& name, uint32_t format,
                            const std::optional<PictureMetadata>& metadata, QString& saved);

}  // namespace picture
