#include "snapshot_files.h"

#include "picture/core/cx_image.h"

#include <cmath>

namespace capture {

QString snapshotPath(const QString& folder, const QString& prefix, const QDateTime& localTime, bool bmp)
{
    QString safePrefix = prefix;
    safePrefix.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (safePrefix == QLatin1String(".") || safePrefix == QLatin1String(".."))
        safePrefix.fill(QLatin1Char('_'));
    return folder + QLatin1Char('/') + safePrefix + localTime.toString(QStringLiteral("yyyyMMddHHmmss"))
        + (bmp ? QLatin1String(".bmp") : QLatin1String(".jpg"));
}

QString clipThumbnailPath(const QString& clipPath)
{
    return clipPath + QLatin1String(".bmp");
}

SaveScale saveScaleFor(quint32 sizeOption, double zoomX, double zoomY)
{
    switch (sizeOption) {
    case 1: return {1.0, 1.0};
    case 2: return {0.5, 0.5};
    case 3: return {0.33, 0.33};
    default: return {zoomX, zoomY};
    }
}

QString writePicture(const QImage& picture, const QString& path, bool bmp, int dpi)
{
    if (picture.isNull())
        return QStringLiteral("no picture");
    CxImage image;
    if (!image.CreateFromQImage(picture.convertToFormat(QImage::Format_RGB888)))
        return QString::fromUtf8(image.GetLastError());
    image.SetXDPI(dpi);
    image.SetYDPI(dpi);
    image.SetJpegQuality(90);
    if (!image.Save(path.toStdString(), bmp ? CXIMAGE_FORMAT_BMP : CXIMAGE_FORMAT_JPG))
        return QString::fromUtf8(image.GetLastError());
    return {};
}

}  // namespace capture
