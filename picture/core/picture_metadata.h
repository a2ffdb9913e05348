#pragma once

#include "sidecar_name.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace picture {

// The calibration a picture was taken with: `pixelsPerUnit` picture pixels
// make one `unit` (for example 1520.37 pixels per "mm"), at `size`.
struct PictureScale {
    double pixelsPerUnit = 0;
    QString unit;
    QString profile;  // the calibration profile's name as the user typed it
    QSize size;
    bool isValid() const { return pixelsPerUnit > 0 && !unit.isEmpty() && size.isValid(); }
    bool operator==(const PictureScale&) const = default;
};

// What every picture this program writes says about itself.
struct PictureMetadata {
    std::optional<PictureScale> scale;  // none: taken without a calibration
    QDateTime taken;                    // local time
    int slot = 0;                       // 1-5 USB, 6 WiFi; 0 not from a camera
    QString camera;                     // the camera's name, as the device list shows it
    int dpi = 0;                        // 0: not said
    bool operator==(const PictureMetadata&) const = default;
};

// The same picture at another size (a Save or export at a smaller size): the
// scale follows the picture, so a length measured on it stays the same.
PictureMetadata scaledTo(const PictureMetadata& metadata, QSize size);

// JPEG: the APP1 Exif segment (DateTimeOriginal, Make, Model, X/YResolution,
// a 160 x 120 JPEG thumbnail in IFD1 made from `picture`) and an APP1 XMP
// packet of our own namespace with the scale, both put right after the
// SOI/APP0 of `jpeg`. Any Exif or XMP segment already there is replaced.
// False (and `jpeg` unchanged) when `jpeg` is not a JPEG.
bool embedMetadata(std::vector<uint8_t>& jpeg, const PictureMetadata& metadata, const QImage& picture);

// What a JPEG says about itself: ours from the XMP packet and Exif, any other
// camera's Exif time and model. Nothing when it has neither.
std::optional<PictureMetadata> readJpegMetadata(const uint8_t* data, size_t size);

// A BMP keeps its metadata beside it: "<picture>.vcal" (sidecarPath), a small
// text file written atomically; it travels with the picture (Save, trash).
bool writeSidecar(const QString& picturePath, const PictureMetadata& metadata, QString* error = nullptr);
std::optional<PictureMetadata> readSidecar(const QString& picturePath);

// Either kind, from the file: the JPEG's own segments or the BMP's sidecar.
// Nothing for a picture without any (it opens as any other picture).
std::optional<PictureMetadata> readPictureMetadata(const QString& path);

}  // namespace picture
