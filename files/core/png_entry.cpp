#include "png_entry.h"

#include <zlib.h>

namespace files {

namespace {

// The largest stored deflate block.
constexpr qsizetype kStoredBlock = 65535;

void putBigEndian32(QByteArray& out, uint32_t v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

void putChunk(QByteArray& out, const char* type, const QByteArray& data)
{
    putBigEndian32(out, uint32_t(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    putBigEndian32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(out.constData() + start), uInt(out.size() - start))));
}

}  // namespace

QByteArray storedPng(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts)
{
    if (image.isNull())
        return {};
    const bool alpha = image.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage rgb = image.format() == format ? image : image.convertToFormat(format);
    const int width = rgb.width(), height = rgb.height();
    const int channels = alpha ? 4 : 3;

    // The rows, each after its filter byte (none).
    QByteArray rows(qsizetype(height) * (qsizetype(width) * channels + 1), Qt::Uninitialized);
    char* p = rows.data();
    for (int y = 0; y < height; ++y) {
        *p++ = 0;
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            *p++ = char(qRed(line[x]));
            *p++ = char(qGreen(line[x]));
            *p++ = char(qBlue(line[x]));
            if (alpha)
                *p++ = char(qAlpha(line[x]));
        }
    }

    // A zlib stream of stored blocks.
    QByteArray zlibData;
    zlibData.reserve(rows.size() + rows.size() / kStoredBlock * 5 + 16);
    zlibData.append("\x78\x01", 2);
    for (qsizetype at = 0; at < rows.size(); at += kStoredBlock) {
        const qsizetype n = std::min(kStoredBlock, rows.size() - at);
        const bool last = at + n == rows.size();
        const char header[5] = {char(last ? 1 : 0), char(n & 0xff), char(n >> 8), char(~n & 0xff), char((~n >> 8) & 0xff)};
        zlibData.append(header, 5);
        zlibData.append(rows.constData() + at, n);
    }
    putBigEndian32(zlibData, uint32_t(adler32(1, reinterpret_cast<const Bytef*>(rows.constData()), uInt(rows.size()))));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(zlibData.size() + 256);
    QByteArray header;
    putBigEndian32(header, uint32_t(width));
    putBigEndian32(header, uint32_t(height));
    header.append(char(8));                 // bits per channel
    header.append(char(alpha ? 6 : 2));     // RGBA or RGB
    header.append(QByteArray(3, char(0)));  // deflate, adaptive filters, not interlaced
    putChunk(png, "IHDR", header);
    for (const auto& [key, value] : texts)
        putChunk(png, "tEXt", key + '\0' + value);
    putChunk(png, "IDAT", zlibData);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace files
