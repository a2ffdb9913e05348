#include "picture_metadata.h"

#include "cx_file.h"
#include "cx_image.h"
#include "exif_block.h"
#include "jpeg_codec.h"
#include "jpeg_segments.h"
#include "xmp_packet.h"

#include "platform/atomic_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QStringDecoder>

#include <cmath>
#include <cstring>

namespace picture {

namespace {

constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kApp1 = 0xE1;
constexpr size_t kMaxSegmentPayload = 65533;
constexpr QSize kThumbnailSize(160, 120);
constexpr char kExifSignature[] = "Exif\0";  // with the string's own zero: "Exif\0\0"
constexpr char kExtendedXmpSignature[] = "http://ns.adobe.com/xmp/extension/";
const QString kProgramName = QStringLiteral("Vellumet");

bool startsWith(const uint8_t* data, size_t size, const char* signature, size_t signatureSize)
{
    return size >= signatureSize && std::memcmp(data, signature, signatureSize) == 0;
}

// The segments from after SOI up to SOS, each wholly inside `size`, and
// where SOS starts (`size` when the bytes end between segments without
// one); false when a segment is cut or the bytes are no markers.
bool leadingSegments(const uint8_t* data, size_t size, std::vector<JpegSegment>& segments, size_t& scanAt)
{
    const JpegSegmentsEnd end = walkJpegSegments(data, size, [&](const JpegSegment& s) {
        segments.push_back(s);
        return true;
    });
    scanAt = end.at;
    return end.how == JpegSegmentsEnd::Scan || (end.how == JpegSegmentsEnd::Cut && end.at == size);
}

bool isOurKindOfApp1(const uint8_t* data, const JpegSegment& s)
{
    if (s.marker != kApp1)
        return false;
    const uint8_t* payload = data + s.at + 4;
    const size_t size = s.size - 4;
    return startsWith(payload, size, kExifSignature, sizeof kExifSignature)
        || startsWith(payload, size, kXmpSignature, kXmpSignatureSize)
        || startsWith(payload, size, kExtendedXmpSignature, sizeof kExtendedXmpSignature);
}

void appendSegment(std::vector<uint8_t>& out, uint8_t marker, const std::vector<uint8_t>& payload)
{
    const size_t length = payload.size() + 2;
    out.insert(out.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
    out.insert(out.end(), payload.begin(), payload.end());
}

// The picture made to fit 160 x 120 (black bars where its shape differs) as
// a JPEG without a JFIF segment, small enough to share one segment with the
// Exif fields; empty when it cannot be made so.
std::vector<uint8_t> thumbnailJpeg(const QImage& picture)
{
    if (picture.isNull())
        return {};
    QImage tile(kThumbnailSize, QImage::Format_RGB888);
    tile.fill(Qt::black);
    {
        const QImage fitted = picture.scaled(kThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter p(&tile);
        p.drawImage((kThumbnailSize.width() - fitted.width()) / 2, (kThumbnailSize.height() - fitted.height()) / 2, fitted);
    }
    CxImage image;
    if (!image.CreateFromQImage(tile))
        return {};
    for (const int quality : {85, 70, 50, 30}) {
        image.SetJpegQuality(uint8_t(quality));
        CxMemFile file;
        std::string error;
        if (!encodeJpeg(image, file, error))
            return {};
        std::vector<uint8_t> bytes = file.Data();
        if (bytes.size() > 4 && bytes[2] == 0xFF && bytes[3] == kApp0) {
            const size_t length = size_t(bytes[4]) << 8 | bytes[5];
            bytes.erase(bytes.begin() + 2, bytes.begin() + 2 + std::ptrdiff_t(std::min(length + 2, bytes.size() - 2)));
        }
        if (bytes.size() < kMaxSegmentPayload - 1024)
            return bytes;
    }
    return {};
}

// ---- the sidecar ----

constexpr qint64 kMaxSidecarSize = 64 * 1024;
const QString kSidecarHeader = QStringLiteral("# Vellumet picture metadata");
const QString kSidecarEnd = QStringLiteral("end");

QString escaped(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
}

std::optional<QString> unescaped(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            out.append(text[i]);
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case '\\': out.append(QLatin1Char('\\')); break;
        case 'n': out.append(QLatin1Char('\n')); break;
        case 'r': out.append(QLatin1Char('\r')); break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<PictureMetadata> parseSidecar(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    QStringList lines = text.split(QLatin1Char('\n'));
    // A whole file ends with "end" and its line break: anything less was cut.
    if (lines.size() < 2 || !lines.last().isEmpty() || lines.at(lines.size() - 2) != kSidecarEnd)
        return std::nullopt;
    lines.resize(lines.size() - 2);

    PictureMetadata m;
    PictureScale scale;
    bool hasScale = false;
    for (const QString& line : std::as_const(lines)) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return std::nullopt;
        const QString key = line.left(eq);
        const std::optional<QString> value = unescaped(QStringView(line).mid(eq + 1));
        if (!value)
            return std::nullopt;
        bool ok = true;
        if (key == QLatin1String("pixelsPerUnit")) {
            scale.pixelsPerUnit = value->toDouble(&ok);
            ok = ok && std::isfinite(scale.pixelsPerUnit);
            hasScale = true;
        } else if (key == QLatin1String("unit")) {
            scale.unit = *value;
            hasScale = true;
        } else if (key == QLatin1String("profile")) {
            scale.profile = *value;
        } else if (key == QLatin1String("width")) {
            scale.size.setWidth(value->toInt(&ok));
            hasScale = true;
        } else if (key == QLatin1String("height")) {
            scale.size.setHeight(value->toInt(&ok));
            hasScale = true;
        } else if (key == QLatin1String("taken")) {
            m.taken = QDateTime::fromString(*value, Qt::ISODateWithMs).toLocalTime();
            ok = m.taken.isValid();
        } else if (key == QLatin1String("slot")) {
            m.slot = value->toInt(&ok);
            ok = ok && m.slot >= 0 && m.slot <= 6;
        } else if (key == QLatin1String("camera")) {
            m.camera = *value;
        } else if (key == QLatin1String("dpi")) {
            m.dpi = value->toInt(&ok);
            ok = ok && m.dpi >= 0;
        }
        if (!ok)
            return std::nullopt;
    }
    if (hasScale) {
        if (!scale.isValid())
            return std::nullopt;
        m.scale = scale;
    }
    return m;
}

QByteArray sidecarText(const PictureMetadata& m)
{
    QStringList lines{kSidecarHeader};
    const auto add = [&lines](const char* key, const QString& value) {
        lines.append(QLatin1String(key) + QLatin1Char('=') + escaped(value));
    };
    if (m.scale) {
        add("pixelsPerUnit", QString::number(m.scale->pixelsPerUnit, 'g', QLocale::FloatingPointShortest));
        add("unit", m.scale->unit);
        add("profile", m.scale->profile);
        add("width", QString::number(m.scale->size.width()));
        add("height", QString::number(m.scale->size.height()));
    }
    if (m.taken.isValid())
        add("taken", m.taken.toOffsetFromUtc(m.taken.offsetFromUtc()).toString(Qt::ISODateWithMs));
    add("slot", QString::number(m.slot));
    if (!m.camera.isEmpty())
        add("camera", m.camera);
    add("dpi", QString::number(m.dpi));
    lines.append(kSidecarEnd);
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

}  // namespace

PictureMetadata scaledTo(const PictureMetadata& metadata, QSize size)
{
    PictureMetadata out = metadata;
    if (!out.scale || !out.scale->size.isValid() || size.isEmpty() || out.scale->size == size)
        return out;
    PictureScale& s = *out.scale;
    // One scale for both directions: a size rounded to whole pixels makes
    // the two ratios differ a little, and their mean errs least either way.
    const double ratio = (double(size.width()) / s.size.width() + double(size.height()) / s.size.height()) / 2;
    s.pixelsPerUnit *= ratio;
    s.size = size;
    return out;
}

bool embedMetadata(std::vector<uint8_t>& jpeg, const PictureMetadata& metadata, const QImage& picture)
{
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return false;
    std::vector<JpegSegment> segments;
    size_t scanAt = 0;
    if (!leadingSegments(jpeg.data(), jpeg.size(), segments, scanAt))
        return false;

    ExifFields fields;
    fields.make = kProgramName;
    fields.model = metadata.camera;
    fields.software = QCoreApplication::applicationVersion().isEmpty()
        ? kProgramName
        : kProgramName + QLatin1Char(' ') + QCoreApplication::applicationVersion();
    fields.taken = metadata.taken;
    fields.dpi = metadata.dpi;
    fields.width = picture.width();
    fields.height = picture.height();
    std::vector<uint8_t> exif = exifPayload(fields, thumbnailJpeg(picture));
    if (exif.size() > kMaxSegmentPayload)
        exif = exifPayload(fields, {});
    const std::vector<uint8_t> xmp = xmpPayload(metadata);
    if (exif.size() > kMaxSegmentPayload || xmp.size() > kMaxSegmentPayload)
        return false;

    std::vector<uint8_t> out{0xFF, 0xD8};
    out.reserve(jpeg.size() + exif.size() + xmp.size() + 8);
    // A JFIF segment stays first, as JFIF readers want it.
    size_t first = 0;
    if (!segments.empty() && segments[0].marker == kApp0) {
        out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(segments[0].at),
                   jpeg.begin() + std::ptrdiff_t(segments[0].at + segments[0].size));
        first = 1;
    }
    appendSegment(out, kApp1, exif);
    appendSegment(out, kApp1, xmp);
    for (size_t i = first; i < segments.size(); ++i) {
        const JpegSegment& s = segments[i];
        if (!isOurKindOfApp1(jpeg.data(), s))
            out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(s.at), jpeg.begin() + std::ptrdiff_t(s.at + s.size));
    }
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(scanAt), jpeg.end());
    jpeg = std::move(out);
    return true;
}

std::optional<PictureMetadata> readJpegMetadata(const uint8_t* data, size_t size)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;
    PictureMetadata m;
    bool exifFound = false;
    bool xmpFound = false;
    // A segment cut short ends the walk; the whole ones before it still count.
    walkJpegSegments(data, size, [&](const JpegSegment& s) {
        if (s.marker != kApp1)
            return true;
        const uint8_t* payload = data + s.at + 4;
        const size_t payloadSize = s.size - 4;
        if (!exifFound && startsWith(payload, payloadSize, kExifSignature, sizeof kExifSignature) && payloadSize > 6) {
            if (const auto fields = readExifTiff(payload + 6, payloadSize - 6)) {
                exifFound = fields->taken.isValid() || !fields->model.isEmpty() || fields->dpi > 0;
                m.taken = fields->taken;
                if (m.camera.isEmpty())
                    m.camera = fields->model;
                m.dpi = fields->dpi;
            }
        } else if (!xmpFound && startsWith(payload, payloadSize, kXmpSignature, kXmpSignatureSize)) {
            PictureMetadata fromXmp;
            if (readXmpPacket(payload + kXmpSignatureSize, payloadSize - kXmpSignatureSize, fromXmp)) {
                xmpFound = true;
                m.scale = fromXmp.scale;
                m.slot = fromXmp.slot;
                // The packet keeps the camera's name whole, where Exif ASCII may not.
                if (!fromXmp.camera.isEmpty())
                    m.camera = fromXmp.camera;
            }
        }
        return true;
    });
    if (!exifFound && !xmpFound)
        return std::nullopt;
    return m;
}

bool writeSidecar(const QString& picturePath, const PictureMetadata& metadata, QString* error)
{
    const QString path = sidecarPath(picturePath);
    if (platform::writeFileAtomically(path, sidecarText(metadata)))
        return true;
    if (error)
        *error = QStringLiteral("could not write %1").arg(path);
    return false;
}

std::optional<PictureMetadata> readSidecar(const QString& picturePath)
{
    QFile file(sidecarPath(picturePath));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSidecarSize)
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxSidecarSize + 1);
    if (bytes.size() > kMaxSidecarSize)
        return std::nullopt;
    return parseSidecar(bytes);
}

std::optional<PictureMetadata> readPictureMetadata(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Exif and XMP each fit one segment; the leading segments of any
    // ordinary JPEG lie well within this.
    constexpr qint64 kLeadingBytes = 1 << 20;
    const QByteArray head = file.read(kLeadingBytes);
    if (head.size() >= 2 && uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xD8)
        return readJpegMetadata(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size()));
    return readSidecar(path);
}

}  // namespace picture
