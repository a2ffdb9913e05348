#include "thumbnail_testing.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace thumbnail_testing {

QImage texturedPicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    uint32_t noise = 12345u * uint32_t(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double cell = std::sin(x * 0.031 + seed) * std::cos(y * 0.027) * 60;
            const int grain = int(noise >> 28) - 8;
            row[x] = qRgb(std::clamp(int(170 - cell) + grain + x * 40 / width, 0, 255),
                          std::clamp(int(120 + cell * 0.5) + grain + y * 60 / height, 0, 255),
                          std::clamp(int(150 + cell) + grain, 0, 255));
        }
    }
    return image;
}

bool writePicture(const QString& path, int width, int height, int seed)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool bmp = path.endsWith(QLatin1String("bmp"), Qt::CaseInsensitive);
    if (!texturedPicture(width, height, seed).save(path, bmp ? "BMP" : "JPG", 90))
        return false;
    ageFile(path);
    return true;
}

void ageFile(const QString& path, int seconds)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

}  // namespace thumbnail_testing
