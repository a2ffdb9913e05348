#pragma once

#include "measure/core/measure_state.h"
#include "picture/core/picture_metadata.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>

namespace capture {

// "<folder>/<prefix>20240105103000.bmp": the prefix (may be empty), the local
// time to the second and ".bmp" or ".jpg". A separator in the prefix would
// put the picture into another folder, so it becomes "_".
QString snapshotPath(const QString& folder, const QString& prefix, const QDateTime& localTime, bool bmp);
// "<folder>/<prefix>20240105103000.avi", the prefix made safe the same way.
QString clipPath(const QString& folder, const QString& prefix, const QDateTime& localTime);
// Whether a picture path asks for a JPEG (".jpg" or ".jpeg"); anything else is a BMP.
bool isJpegPath(const QString& path);

// A clip's thumbnail sits beside it: "<clip>.bmp".
QString clipThumbnailPath(const QString& clipPath);

// `path` when no file has that name, else the first free one of
// "<name>_1<.ext>", "<name>_2<.ext>", ...: two pictures of the same second
// both stay, and still sort by their time. With `companionSuffix` the file
// "<name><suffix>" must be free as well (a clip's thumbnail). A picture or
// clip is named and written at once on the GUI thread, so nothing of this
// program comes between the look and the write.
QString unusedPath(const QString& path, const QString& companionSuffix = {});

// `path` for n = 0, else "<name>_<n><.ext>": the names unusedPath chooses from.
QString numberedPath(const QString& path, int n);

// Writes `picture` as BMP or as JPEG of quality 90, with `dpi` in both
// directions, through a temporary file renamed over `path`; `metadata` goes
// into the JPEG, or beside the BMP as its sidecar once the picture has its
// name. An empty answer is success; otherwise the reason it failed.
QString writePicture(const QImage& picture, const QString& path, bool bmp, int dpi,
                     const std::optional<picture::PictureMetadata>& metadata = std::nullopt);

// The same for a new picture that must not replace any file: written under
// the first free name of numberedPath(path, 0, 1, ...) at the moment it is
// given its name, so that another program saving into the folder in the
// same second keeps its picture too. `saved` is the name it got.
QString writeNewPicture(const QImage& picture, const QString& path, bool bmp, int dpi,
                        const std::optional<picture::PictureMetadata>& metadata, QString& saved);

// What a live window's still picture says about itself: the active
// calibration (made on frames of `frameSize`) scaled to the picture's own
// size, none without a profile; the time, the slot and camera, the DPI.
picture::PictureMetadata stillMetadata(const measure::MeasureState& measure, QSize frameSize, QSize pictureSize,
                                       const QDateTime& taken, int slot, const QString& camera, int dpi);

}  // namespace capture
