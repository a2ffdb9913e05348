#include "exif_block.h"

#include "tiff_ifd.h"

#include <algorithm>
#include <cstring>

namespace picture {

namespace {

enum : uint16_t {
    kByte = kTiffByte,
    kAscii = kTiffAscii,
    kShort = kTiffShort,
    kLong = kTiffLong,
    kRational = kTiffRational,
    kUndefined = kTiffUndefined
};

enum : uint16_t {
    kCompression = 0x0103,
    kMake = 0x010F,
    kModel = 0x0110,
    kXResolution = 0x011A,
    kYResolution = 0x011B,
    kResolutionUnit = 0x0128,
    kSoftware = 0x0131,
    kThumbnailOffset = 0x0201,
    kThumbnailLength = 0x0202,
    kYCbCrPositioning = 0x0213,
    kExifIfd = 0x8769,
    kExifVersion = 0x9000,
    kDateTimeOriginal = 0x9003,
    kOffsetTimeOriginal = 0x9011,
    kComponentsConfiguration = 0x9101,
    kSubSecTimeOriginal = 0x9291,
    kFlashpixVersion = 0xA000,
    kColorSpace = 0xA001,
    kPixelXDimension = 0xA002,
    kPixelYDimension = 0xA003,
};

constexpr uint16_t kInch = 2;
constexpr uint16_t kCentimetre = 3;
constexpr uint16_t kJpegCompression = 6;
// The resolution Exif assumes when none is said.
constexpr int kDefaultDpi = 72;

// ---- writing (little-endian) ----

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    std::vector<uint8_t> value;  // the value's bytes, in the block's byte order
};

void put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, uint16_t(v));
    put16(out, uint16_t(v >> 16));
}

Entry shortEntry(uint16_t tag, uint16_t v)
{
    Entry e{tag, kShort, 1, {}};
    put16(e.value, v);
    return e;
}

Entry longEntry(uint16_t tag, uint32_t v)
{
    Entry e{tag, kLong, 1, {}};
    put32(e.value, v);
    return e;
}

Entry rationalEntry(uint16_t tag, uint32_t numerator, uint32_t denominator)
{
    Entry e{tag, kRational, 1, {}};
    put32(e.value, numerator);
    put32(e.value, denominator);
    return e;
}

// Exif ASCII is seven-bit: anything else becomes '?' (the XMP packet keeps
// the names whole).
Entry asciiEntry(uint16_t tag, const QString& text)
{
    Entry e{tag, kAscii, 0, {}};
    for (const QChar c : text)
        e.value.push_back(c.unicode() >= 0x20 && c.unicode() < 0x7F ? uint8_t(c.unicode()) : uint8_t('?'));
    e.value.push_back(0);
    e.count = uint32_t(e.value.size());
    return e;
}

Entry undefinedEntry(uint16_t tag, const char (&bytes)[5])
{
    return {tag, kUndefined, 4, std::vector<uint8_t>(bytes, bytes + 4)};
}

uint32_t padded(size_t n)
{
    return uint32_t((n + 1) & ~size_t(1));
}

// An IFD's size: the entries, the next-IFD link and the values that do not
// fit in an entry, each starting at an even offset.
uint32_t ifdSize(const std::vector<Entry>& entries)
{
    uint32_t size = 2 + 12 * uint32_t(entries.size()) + 4;
    for (const Entry& e : entries) {
        if (e.value.size() > 4)
            size += padded(e.value.size());
    }
    return size;
}

// Appends the IFD that starts at `offset` (the block's current size).
void writeIfd(std::vector<uint8_t>& out, std::vector<Entry> entries, uint32_t nextIfd)
{
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    const auto offset = uint32_t(out.size());
    uint32_t data = offset + 2 + 12 * uint32_t(entries.size()) + 4;
    put16(out, uint16_t(entries.size()));
    for (const Entry& e : entries) {
        put16(out, e.tag);
        put16(out, e.type);
        put32(out, e.count);
        if (e.value.size() <= 4) {
            std::vector<uint8_t> inline4 = e.value;
            inline4.resize(4, 0);
            out.insert(out.end(), inline4.begin(), inline4.end());
        } else {
            put32(out, data);
            data += padded(e.value.size());
        }
    }
    put32(out, nextIfd);
    for (const Entry& e : entries) {
        if (e.value.size() <= 4)
            continue;
        out.insert(out.end(), e.value.begin(), e.value.end());
        if (e.value.size() % 2)
            out.push_back(0);
    }
}

QString offsetText(int seconds)
{
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(sign)
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// ---- reading ----

QString asciiOf(const Tiff& tiff, const Field* f)
{
    if (!f || f->type != kAscii)
        return {};
    const auto* text = reinterpret_cast<const char*>(tiff.at(f->value));
    const size_t length = strnlen(text, f->count);
    return QString::fromLatin1(text, qsizetype(length)).trimmed();
}

double rationalOf(const Tiff& tiff, const Field* f)
{
    if (!f || f->type != kRational || f->count < 1)
        return 0;
    const uint32_t denominator = tiff.u32(f->value + 4);
    return denominator ? double(tiff.u32(f->value)) / denominator : 0;
}

QDateTime timeOf(const QString& text, const QString& subSeconds, const QString& offset)
{
    const QDateTime plain = QDateTime::fromString(text, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!plain.isValid())
        return {};
    QTime time = plain.time();
    bool ok = false;
    const int fraction = subSeconds.left(3).leftJustified(3, QLatin1Char('0')).toInt(&ok);
    if (ok && !subSeconds.isEmpty() && fraction >= 0)
        time = time.addMSecs(fraction);
    const QDateTime zoned = QDateTime::fromString(QStringLiteral("2000-01-01T00:00:00") + offset, Qt::ISODate);
    if (offset.size() == 6 && zoned.isValid())
        return QDateTime(plain.date(), time, Qt::OffsetFromUTC, zoned.offsetFromUtc()).toLocalTime();
    return QDateTime(plain.date(), time);
}

}  // namespace

std::vector<uint8_t> exifPayload(const ExifFields& fields, const std::vector<uint8_t>& thumbnail)
{
    const uint32_t dpi = fields.dpi > 0 ? uint32_t(fields.dpi) : kDefaultDpi;
    std::vector<Entry> ifd0{asciiEntry(kMake, fields.make),      rationalEntry(kXResolution, dpi, 1),
                            rationalEntry(kYResolution, dpi, 1), shortEntry(kResolutionUnit, kInch),
                            shortEntry(kYCbCrPositioning, 1),    longEntry(kExifIfd, 0)};
    if (!fields.model.isEmpty())
        ifd0.push_back(asciiEntry(kModel, fields.model));
    if (!fields.software.isEmpty())
        ifd0.push_back(asciiEntry(kSoftware, fields.software));

    std::vector<Entry> exif{undefinedEntry(kExifVersion, "0232"),
                            undefinedEntry(kComponentsConfiguration, "\1\2\3\0"),
                            undefinedEntry(kFlashpixVersion, "0100"),
                            shortEntry(kColorSpace, 1),
                            longEntry(kPixelXDimension, uint32_t(std::max(0, fields.width))),
                            longEntry(kPixelYDimension, uint32_t(std::max(0, fields.height)))};
    if (fields.taken.isValid()) {
        exif.push_back(asciiEntry(kDateTimeOriginal, fields.taken.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"))));
        exif.push_back(asciiEntry(kSubSecTimeOriginal, fields.taken.toString(QStringLiteral("zzz"))));
        exif.push_back(asciiEntry(kOffsetTimeOriginal, offsetText(fields.taken.offsetFromUtc())));
    }

    std::vector<Entry> ifd1{shortEntry(kCompression, kJpegCompression),
                            rationalEntry(kXResolution, dpi, 1),
                            rationalEntry(kYResolution, dpi, 1),
                            shortEntry(kResolutionUnit, kInch),
                            longEntry(kThumbnailOffset, 0),
                            longEntry(kThumbnailLength, uint32_t(thumbnail.size()))};

    const uint32_t ifd0At = 8;
    const uint32_t exifAt = ifd0At + ifdSize(ifd0);
    const uint32_t ifd1At = exifAt + ifdSize(exif);
    const uint32_t thumbnailAt = ifd1At + ifdSize(ifd1);
    for (Entry& e : ifd0) {
        if (e.tag == kExifIfd)
            e = longEntry(kExifIfd, exifAt);
    }
    for (Entry& e : ifd1) {
        if (e.tag == kThumbnailOffset)
            e = longEntry(kThumbnailOffset, thumbnailAt);
    }

    std::vector<uint8_t> tiff{'I', 'I', 42, 0};
    put32(tiff, ifd0At);
    writeIfd(tiff, ifd0, thumbnail.empty() ? 0 : ifd1At);
    writeIfd(tiff, exif, 0);
    if (!thumbnail.empty()) {
        writeIfd(tiff, ifd1, 0);
        tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
    }
    std::vector<uint8_t> payload{'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

std::optional<ExifFields> readExifTiff(const uint8_t* data, size_t size)
{
    const auto opened = openTiff(data, size);
    if (!opened)
        return std::nullopt;
    const Tiff& tiff = *opened;

    // IFD0, and from it only the Exif IFD: no chain is followed, so IFDs
    // pointing at each other cannot make it go round.
    uint32_t next = 0;
    const auto ifd0 = readIfd(tiff, tiff.u32(4), next);
    ExifFields fields;
    fields.make = asciiOf(tiff, findField(ifd0, kMake));
    fields.model = asciiOf(tiff, findField(ifd0, kModel));
    fields.software = asciiOf(tiff, findField(ifd0, kSoftware));
    const double resolution = rationalOf(tiff, findField(ifd0, kXResolution));
    const uint32_t unit = numberOf(tiff, findField(ifd0, kResolutionUnit)).value_or(kInch);
    if (resolution > 0 && resolution < 1e6 && (unit == kInch || unit == kCentimetre))
        fields.dpi = int(unit == kInch ? resolution + 0.5 : resolution * 2.54 + 0.5);

    if (const auto exifAt = numberOf(tiff, findField(ifd0, kExifIfd)); exifAt && *exifAt != tiff.u32(4)) {
        const auto exif = readIfd(tiff, *exifAt, next);
        fields.taken = timeOf(asciiOf(tiff, findField(exif, kDateTimeOriginal)),
                              asciiOf(tiff, findField(exif, kSubSecTimeOriginal)),
                              asciiOf(tiff, findField(exif, kOffsetTimeOriginal)));
        fields.width = int(std::min<uint32_t>(numberOf(tiff, findField(exif, kPixelXDimension)).value_or(0), INT32_MAX));
        fields.height = int(std::min<uint32_t>(numberOf(tiff, findField(exif, kPixelYDimension)).value_or(0), INT32_MAX));
    }
    return fields;
}

}  // namespace picture
