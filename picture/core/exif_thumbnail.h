#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace picture {

// A run of bytes within a buffer or file.
struct ByteRange {
    size_t offset = 0;
    size_t length = 0;
    bool operator==(const ByteRange&) const = default;
};

// The JPEG thumbnail of an Exif block (IFD1's JPEGInterchangeFormat and
// JPEGInterchangeFormatLength), within `tiff`: the block's bytes from its
// TIFF header on, in either byte order. Nothing when the block names none,
// or when anything it says points outside the block, loops back to IFD0, or
// the bytes named are no JPEG. Never reads outside the `size` bytes given.
std::optional<ByteRange> exifThumbnailIn(const uint8_t* tiff, size_t size);

// What a JPEG's leading segments say, up to its scan.
struct JpegHead {
    int width = 0;  // from the frame header; 0 when it was not reached
    int height = 0;
    std::optional<ByteRange> thumbnail;  // the Exif thumbnail's bytes, from the file's start
    // The segments go on past the bytes given, before what is looked for was
    // found: the file's first `needed` bytes would tell more.
    size_t needed = 0;
};

// Walks the segments of a JPEG's first `size` bytes (the file's start) up
// to the start of scan: the frame size, and the thumbnail of the first Exif
// APP1 segment, which always lies within that segment. Any camera's Exif
// is read. Empty when the bytes are no JPEG.
JpegHead readJpegHead(const uint8_t* data, size_t size);

}  // namespace picture
