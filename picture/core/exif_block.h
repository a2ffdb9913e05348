#pragma once

#include <QDateTime>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace picture {

// The Exif fields this program writes and reads back.
struct ExifFields {
    QString make;
    QString model;
    QString software;
    QDateTime taken;  // DateTimeOriginal with its sub-seconds and offset
    int dpi = 0;      // X/YResolution in pixels per inch; 0 when absent
    int width = 0;    // PixelX/YDimension of the picture
    int height = 0;
};

// The APP1 payload "Exif\0\0" + a little-endian TIFF block: IFD0 (Make,
// Model, resolution, Software), the Exif IFD (time, pixel size) and, with a
// `thumbnail` (a whole JPEG), IFD1 pointing at it. Every offset is even.
std::vector<uint8_t> exifPayload(const ExifFields& fields, const std::vector<uint8_t>& thumbnail);

// The fields of a TIFF block (the payload after "Exif\0\0"), either byte
// order. Hostile blocks (offsets or counts past the end, IFDs pointing at
// each other) give only the fields that lie wholly inside; nothing at all
// when not even the header is sound.
std::optional<ExifFields> readExifTiff(const uint8_t* tiff, size_t size);

}  // namespace picture
