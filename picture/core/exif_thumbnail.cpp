// Exif blocks come from every kind of camera and editor, and from anyone who
// wants to hurt the reader: every offset and count is checked against the
// block before it is used, in 64-bit arithmetic, and only one link (IFD0 to
// IFD1) is ever followed.
#include "exif_thumbnail.h"

#include "jpeg_segments.h"
#include "tiff_ifd.h"

#include <cstring>

namespace picture {

namespace {

constexpr uint16_t kCompression = 0x0103;
constexpr uint16_t kThumbnailOffset = 0x0201;  // JPEGInterchangeFormat
constexpr uint16_t kThumbnailLength = 0x0202;  // JPEGInterchangeFormatLength
constexpr uint16_t kOldJpeg = 6;               // what Exif names a JPEG thumbnail
constexpr uint16_t kJpeg = 7;

uint16_t bigEndian16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

bool isStartOfFrame(uint8_t marker)
{
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

std::optional<ByteRange> exifThumbnailIn(const uint8_t* data, size_t size)
{
    const auto tiff = openTiff(data, size);
    if (!tiff)
        return std::nullopt;
    const uint32_t ifd0 = tiff->u32(4);
    uint32_t ifd1 = 0, next = 0;
    readIfd(*tiff, ifd0, ifd1);
    if (ifd1 == 0 || ifd1 == ifd0)
        return std::nullopt;
    const IfdFields entries = readIfd(*tiff, ifd1, next);
    const auto offset = numberOf(*tiff, findField(entries, kThumbnailOffset));
    const auto length = numberOf(*tiff, findField(entries, kThumbnailLength));
    const auto compression = numberOf(*tiff, findField(entries, kCompression));
    if (!offset || !length || *length < 4 || !tiff->has(*offset, *length))
        return std::nullopt;
    if (compression && *compression != kOldJpeg && *compression != kJpeg)
        return std::nullopt;
    // A JPEG begins with its start-of-image marker and another marker.
    const uint8_t* thumb = data + *offset;
    if (thumb[0] != 0xFF || thumb[1] != 0xD8 || thumb[2] != 0xFF)
        return std::nullopt;
    return ByteRange{*offset, *length};
}

JpegHead readJpegHead(const uint8_t* data, size_t size)
{
    JpegHead head;
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return head;
    bool exifSeen = false;
    const JpegSegmentsEnd end = walkJpegSegments(data, size, [&](const JpegSegment& s) {
        if (s.size < 4)
            return true;
        const uint8_t* payload = data + s.at + 4;
        const size_t payloadSize = s.size - 4;
        if (s.marker == 0xE1 && !exifSeen && payloadSize >= 6 && std::memcmp(payload, "Exif\0\0", 6) == 0) {
            exifSeen = true;
            const size_t tiffStart = s.at + 4 + 6;
            if (const auto range = exifThumbnailIn(payload + 6, payloadSize - 6))
                head.thumbnail = ByteRange{tiffStart + range->offset, range->length};
        } else if (isStartOfFrame(s.marker) && payloadSize >= 5) {
            head.height = bigEndian16(payload + 1);
            head.width = bigEndian16(payload + 3);
            return false;  // Exif comes before the frame; nothing after it is wanted
        }
        return true;
    });
    if (end.how == JpegSegmentsEnd::Cut)
        head.needed = end.needed;
    if (head.width > 0 && head.height > 0)
        head.needed = 0;
    return head;
}

}  // namespace picture
