#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace wifi_test {

// A real JPEG picture, as a camera would send.
inline QByteArray makeJpeg(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    // A little detail so the compressed data is not trivially short.
    for (int x = 0; x < width; x += 3)
        image.setPixelColor(x, x % height, QColor(255 - color.red(), x % 256, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

// One multipart part: boundary line, headers, the picture and its line end.
inline QByteArray streamPart(const QByteArray& jpeg, bool withLength = true, const QByteArray& delimiter = "--frame",
                             const QByteArray& eol = "\r\n")
{
    QByteArray part = delimiter + eol + "Content-Type: image/jpeg" + eol;
    if (withLength)
        part += "Content-Length: " + QByteArray::number(jpeg.size()) + eol;
    return part + eol + jpeg + eol;
}

}  // namespace wifi_test
